// Every input that ever made a reader crash, hang or run out of memory, kept under tests/data/ with the
// message it must now give. The files are written by `veldrin-fuzz-corpus --hostile` (see fuzz/).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/run/RunPlan.h"
#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "collision/ColConv.h"
#include "collision/ColMapConverter.h"
#include "level/LevelInput.h"
#include "level/WorldReader.h"
#include "report/LevelPictures.h"
#include "report/Thumbnail.h"
#include "support/TempFolder.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;
namespace fs = std::filesystem;

namespace {

const fs::path kData = VELDRIN_TEST_DATA;

std::vector<uint8_t> data(const std::string& name) { return readWholeFile(kData / name); }

void readSharedCells() {
    readWorld(loadLevel(kData / "shared-cells.lvz", kData / "shared-cells.IMG"), GameVersion::LcsPs2);
}

void planSharedGeometry() {
    const LevelBuffer level = loadLevel(kData / "shared-geometry.lvz", kData / "shared-geometry.IMG");
    ConversionOptions options;
    options.edition = GameVersion::LcsPs2;
    planRun(level, readWorld(level, GameVersion::LcsPs2), options, nullptr);
}

void convertSharedModels() { convertCol2(data("shared-models.col2"), StoriesEdition::LCS); }

void writeSharedModels() {
    test::TempFolder dir("veldrin-kept");
    const fs::path out = dir / "out.col";
    try {
        convertCol2File(kData / "shared-models.col2", out, StoriesEdition::LCS);
    } catch (...) {
        EXPECT_TRUE(fs::is_empty(dir.path())) << "a refused conversion leaves nothing behind";
        throw;
    }
}

// The collision map over NAME.dtz and NAME.img.
void convertMap(const std::string& name) {
    const std::vector<uint8_t> dtz = data(name + ".dtz");
    const std::vector<uint8_t> img = data(name + ".img");
    convertColMap(ColMapInputs{dtz, "GAME.DTZ", img, std::nullopt}, ColMapOptions{});
}

// u32 texture count, then the one record's position and base, then the level.
void convertSharedRecord() {
    const std::vector<uint8_t> input = data("shared-record.tex");
    const ByteReader r(input, "input");
    const std::vector<TextureRef> refs(r.u32(0), TextureRef{0, r.u32(4), r.u32(8)});
    std::vector<uint8_t> txd;
    VectorSink sink(txd);
    try {
        writeTxd(r.bytes().subspan(12), refs, TxdParams{TargetGame::Gta3, GameVersion::LcsPs2, "t"}, sink);
    } catch (...) {
        EXPECT_LT(txd.size(), 64u << 20) << "refused before the dictionary is written out";
        throw;
    }
}

struct KeptInput {
    const char* name;
    std::function<void()> read;
    const char* message; // what the refusal must say
};

} // namespace

TEST(KeptInputs, EachIsRefusedWithItsMessage) {
    const KeptInput inputs[] = {
        {"cells that all name one block", readSharedCells, "name the same IMG records over and over"},
        {"models that all name one geometry", planSharedGeometry, "models name the same geometry over and over"},
        {"COL2 entries that all name one model", convertSharedModels, "its index names the same models over and over"},
        {"the same, converted to a file", writeSharedModels, "its index names the same models over and over"},
        {"an IMG of unclosed COL2 files", [] { convertMap("col2-sectors"); }, "runs into the next collision file at offset 2048"},
        {"a collision map of models that all share one record", [] { convertMap("shared-colmap-records"); },
         "the model table names the same collision records over and over"},
        {"65,535 textures of one record", convertSharedRecord, "its textures name the same raster records over and over"},
    };
    for (const KeptInput& input : inputs) {
        try {
            input.read();
            ADD_FAILURE() << input.name << ": accepted";
        } catch (const VeldrinError& e) {
            EXPECT_NE(std::string(e.what()).find(input.message), std::string::npos) << input.name << ": " << e.what();
        }
    }
}

// Inputs that once broke a reader's arithmetic rather than its limits: they must go through cleanly (the
// sanitizer build of this test reports the undefined behaviour they used to reach).
TEST(KeptInputs, ThumbnailWithInfiniteTextureCoordinatesIsDrawn) {
    // The thumbnail target's layout: edition, first and second part, texture position and base, scale.
    const std::vector<uint8_t> input = data("thumbnail-infinite-coordinates.bin");
    const ByteReader r(input, "input");
    const GameVersion edition = static_cast<GameVersion>(1 + (r.u8(0) & 3));
    const std::span<const uint8_t> level = r.bytes().subspan(18);
    const RgbaImage texture = decodeLevelTexture(level, TextureRef{1, r.u32(9), r.u32(13)}, edition);
    ModelPreview preview =
        readModelPreview(level, r.u32(1), r.u32(5), edition, {1.0f + r.u8(17) / 64.0f, 1.0f, 0.5f}, "model");
    ASSERT_FALSE(preview.textureIds.empty());
    preview.mesh.textures.assign(preview.textureIds.size(), &texture);
    const RgbaImage thumbnail = renderThumbnail(preview.mesh, 48);
    EXPECT_EQ(thumbnail.width, 48);
    EXPECT_EQ(thumbnail.pixels.size(), 48u * 48u * 4u);
}

// A row table whose row start is near the 32-bit limit (a level fuzz input: options byte, then the world
// with its length in front, then the IMG). Placing the records of its first cells overflowed an int (the
// sanitizer build reports it); they are placed now, and the damaged block after them is refused.
TEST(KeptInputs, RowStartNearTheIntLimitIsPlacedThenTheDamageRefused) {
    const std::vector<uint8_t> input = data("level-row-start-overflow.bin");
    const ByteReader r(input, "input");
    const uint32_t worldSize = r.u32(1);
    LevelBuffer level;
    level.bytes.assign(input.begin() + 5 + worldSize, input.end());
    level.worldBase = static_cast<int64_t>(level.bytes.size());
    const auto world = r.bytes().subspan(5, worldSize);
    level.bytes.insert(level.bytes.end(), world.begin(), world.end());
    try {
        readWorld(level, GameVersion::LcsPsp);
        ADD_FAILURE() << "accepted";
    } catch (const VeldrinError& e) {
        EXPECT_NE(std::string(e.what()).find("block data of cell (row 17, column 3)"), std::string::npos) << e.what();
    }
}
