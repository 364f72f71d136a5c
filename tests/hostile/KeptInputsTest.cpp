// Every input that ever made a reader crash, hang or run out of memory, kept under tests/data/ with the
// message it must now give. The files are written by `veldrin-fuzz-corpus --hostile` (see fuzz/).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "collision/ColConv.h"
#include "collision/ColMapConverter.h"
#include "level/LevelInput.h"
#include "level/WorldReader.h"
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

void mapCol2Sectors() {
    const std::vector<uint8_t> dtz = data("col2-sectors.dtz");
    const std::vector<uint8_t> img = data("col2-sectors.img");
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
        {"COL2 entries that all name one model", convertSharedModels, "its index names the same models over and over"},
        {"the same, converted to a file", writeSharedModels, "its index names the same models over and over"},
        {"an IMG of unclosed COL2 files", mapCol2Sectors, "runs into the next collision file at offset 2048"},
        {"65,535 textures of one record", convertSharedRecord, "Texture dictionary too large"},
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
