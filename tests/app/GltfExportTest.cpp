// The level's glTF file read back by a reader of its own: the container, one mesh per converted model
// equal to its DFF (names, vertices, triangles), one node per IPL line at its place, the textures as
// PNGs; then the Khronos validator, when the project's node tools are installed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <cstring>

#include "RunFixture.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "inspect/DffRead.h"
#include "report/PngReader.h"
#include "support/SampleLevels.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

using Json = nlohmann::json;

struct Glb {
    Json json;
    std::vector<uint8_t> bin;
};

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 | uint32_t(b.at(at + 3)) << 24;
}

Glb readGlb(const std::vector<uint8_t>& file) {
    EXPECT_EQ(le32(file, 0), 0x46546C67u) << "magic";
    EXPECT_EQ(le32(file, 4), 2u) << "version";
    EXPECT_EQ(le32(file, 8), file.size()) << "length";
    const uint32_t jsonLength = le32(file, 12);
    EXPECT_EQ(le32(file, 16), 0x4E4F534Au);
    Glb glb;
    glb.json = Json::parse(file.begin() + 20, file.begin() + 20 + jsonLength);
    const std::size_t binAt = 20 + jsonLength;
    EXPECT_EQ(le32(file, binAt + 4), 0x004E4942u);
    glb.bin.assign(file.begin() + binAt + 8, file.begin() + binAt + 8 + le32(file, binAt));
    return glb;
}

// The bytes of buffer view `view`.
std::span<const uint8_t> viewBytes(const Glb& glb, int view) {
    const Json& v = glb.json["bufferViews"][view];
    return std::span(glb.bin).subspan(v["byteOffset"].get<std::size_t>(), v["byteLength"].get<std::size_t>());
}

} // namespace

TEST(GltfExport, TheFileHoldsTheLevelAsWritten) {
    const bool validator = std::filesystem::exists(VELDRIN_SOURCE_DIR "/node_modules/gltf-validator");
    for (const auto& [edition, target] : {std::pair{GameVersion::LcsPs2, TargetGame::Gta3}, std::pair{GameVersion::VcsPs2, TargetGame::GtaVc},
                                          std::pair{GameVersion::LcsPsp, TargetGame::GtaSa}, std::pair{GameVersion::VcsPsp, TargetGame::GtaVc}}) {
        SCOPED_TRACE(std::string(editionName(edition)) + " to " + std::string(targetGameName(target)));
        TempFolder dir("veldrin-gltf");
        ConversionOptions o = optionsFor(buildLevel(sampleTown(edition)).write(dir.path(), "town"), edition);
        o.targetGame = target;
        o.generateIde = true;
        o.txdMode = TxdMode::TxdPerGroup;
        o.modelsPerTxd = 10;
        o.mapOffset = {100, -50, 7};
        o.writeGltf = true;
        const RunResult run = runAndCollect(o);
        const std::filesystem::path file = o.levelFolder() / "town.glb";
        const Glb glb = readGlb(readWholeFile(file));
        const Json& j = glb.json;

        // A mesh per model, equal to its DFF.
        std::map<std::string, inspect::DffGeometry> dffs;
        for (const std::string& name : filesIn(o.levelFolder()))
            if (name.ends_with(".dff")) dffs[name.substr(0, name.size() - 4)] = inspect::readDff(readWholeFile(o.levelFolder() / name), name).geometries.at(0);
        ASSERT_EQ(int(dffs.size()), run.summary.modelsConverted);
        ASSERT_EQ(j["meshes"].size(), dffs.size());
        for (const Json& mesh : j["meshes"]) {
            const std::string name = mesh["name"];
            ASSERT_TRUE(dffs.count(name)) << name;
            const inspect::DffGeometry& dff = dffs.at(name);
            std::size_t indices = 0;
            for (const Json& primitive : mesh["primitives"]) {
                const Json& position = j["accessors"][primitive["attributes"]["POSITION"].get<int>()];
                EXPECT_EQ(position["count"], dff.vertexCount) << name;
                const auto bytes = viewBytes(glb, position["bufferView"]);
                ASSERT_EQ(bytes.size(), dff.positions.size() * 12) << name;
                EXPECT_EQ(0, std::memcmp(bytes.data(), dff.positions.data(), bytes.size())) << name;
                if (!dff.prelit.empty()) {
                    EXPECT_EQ(j["accessors"][primitive["attributes"]["COLOR_0"].get<int>()]["count"], dff.vertexCount);
                }
                indices += j["accessors"][primitive["indices"].get<int>()]["count"].get<std::size_t>();
            }
            EXPECT_EQ(indices, std::size_t(dff.triangleCount) * 3) << name;
        }

        // A node per IPL line, in order, named after its model, at its place.
        const auto inst = sectionLines(readLines(o.levelFolder() / "town.ipl"), "inst");
        const Json& placements = j["nodes"][0]["children"];
        ASSERT_EQ(placements.size(), inst.size());
        const int at = target == TargetGame::Gta3 ? 2 : 3; // the position's first field
        for (std::size_t i = 0; i < inst.size(); ++i) {
            const std::vector<std::string> fields = splitFields(inst[i]);
            const Json& node = j["nodes"][placements[i].get<int>()];
            EXPECT_EQ(node["name"], fields[1]) << inst[i];
            EXPECT_EQ(j["meshes"][node["mesh"].get<int>()]["name"], fields[1]) << inst[i];
            for (int a = 0; a < 3; ++a) EXPECT_NEAR(node["translation"][a].get<double>(), std::stod(fields[at + a]), 0.01) << inst[i];
        }

        // Every texture a PNG of its own size, named as in the dictionaries.
        ASSERT_GT(j["images"].size(), 0u);
        for (const Json& image : j["images"]) {
            const auto bytes = viewBytes(glb, image["bufferView"]);
            const RgbaImage picture = readPng(std::vector<uint8_t>(bytes.begin(), bytes.end()));
            EXPECT_GT(picture.width, 0) << image["name"];
            EXPECT_EQ(image["mimeType"], "image/png");
        }

        // The Khronos validator finds no error.
        if (!validator) continue;
        const std::string command = "node \"" VELDRIN_SOURCE_DIR "/tests/gltf/validate.mjs\" \"" + file.string() + "\"";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the validator's messages are above";
    }
    if (!validator) GTEST_SKIP() << "the files read back; gltf-validator is not installed (npm ci in the source folder, as scripts/test.sh does)";
}
