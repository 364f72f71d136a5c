// The 3D view's scene.js read back and held against what the run wrote: each model against its DFF
// (read by the reader kit), its IDE line, and each placement against its IPL line.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstring>
#include <zlib.h>

#include "RunFixture.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "inspect/DffRead.h"
#include "support/SampleLevels.h"
#include "texture/DictionaryDecoder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

using Json = nlohmann::json;

Json readSceneScript(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = readWholeFile(file);
    const std::string text(bytes.begin(), bytes.end());
    const std::string head = "window.veldrinScene = ";
    EXPECT_EQ(text.rfind(head, 0), 0u) << "scene.js sets window.veldrinScene";
    const std::size_t end = text.rfind(';');
    return Json::parse(text.substr(head.size(), end - head.size()));
}

std::vector<uint8_t> decodeBase64(const std::string& text) {
    std::vector<uint8_t> bytes;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else break; // padding
        bits = bits << 6 | uint32_t(v);
        if ((count += 6) >= 8) {
            count -= 8;
            bytes.push_back(uint8_t(bits >> count));
        }
    }
    return bytes;
}

// The arrays of scene.js: one zlib stream of little-endian values, each array named with its place.
class SceneArrays {
public:
    explicit SceneArrays(const Json& scene) : index_(scene["arrays"]) {
        const std::vector<uint8_t> packed = decodeBase64(scene["data"]);
        uLongf size = scene["arrayBytes"];
        bytes_.resize(size);
        EXPECT_EQ(uncompress(bytes_.data(), &size, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
        EXPECT_EQ(size, bytes_.size());
    }
    template <typename T>
    std::vector<T> get(const std::string& name) const {
        for (const Json& a : index_) {
            if (a["name"] != name) continue;
            const std::size_t offset = a["offset"], length = a["length"];
            EXPECT_LE(offset + length * sizeof(T), bytes_.size()) << name;
            std::vector<T> values(length);
            std::memcpy(values.data(), bytes_.data() + offset, length * sizeof(T));
            return values;
        }
        ADD_FAILURE() << "scene.js has no array " << name;
        return {};
    }

private:
    Json index_;
    std::vector<uint8_t> bytes_;
};

struct Case {
    const char* name;
    GameVersion edition;
    TargetGame target;
    bool archive;
    TxdMode txd;
    bool night;
};

// The IPL's position and rotation fields of one inst line.
struct IplFields {
    int x, rotation;
};
IplFields iplFields(TargetGame target) {
    switch (target) {
    case TargetGame::Gta3: return {2, 8};
    case TargetGame::GtaVc: return {3, 9};
    default: return {3, 6};
    }
}

} // namespace

TEST(SceneScript, HoldsTheWrittenModelsAndPlacements) {
    const Case cases[] = {
        {"VC loose files, one dictionary", GameVersion::VcsPs2, TargetGame::GtaVc, false, TxdMode::OneBigTxd, false},
        {"SA archive, a dictionary per group, night colours", GameVersion::LcsPsp, TargetGame::GtaSa, true, TxdMode::TxdPerGroup, true},
        {"GTA 3 archive, no dictionary", GameVersion::LcsPs2, TargetGame::Gta3, true, TxdMode::NoTxd, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir("veldrin-scene");
        ConversionOptions o = optionsFor(buildLevel(sampleTown(c.edition)).write(dir.path(), "town"), c.edition);
        o.targetGame = c.target;
        o.generateIde = true;
        o.buildImg = c.archive;
        o.txdMode = c.txd;
        o.modelsPerTxd = 7;
        o.genNightPrelit = c.night;
        o.mapOffset = {250.5f, -75.25f, 3};
        o.writeReport = true;
        const RunResult run = runAndCollect(o);
        const Json scene = readSceneScript(run.summary.reportFolder / "scene.js");
        const Json manifest = Json::parse(readWholeFile(run.summary.reportFolder / "manifest.json"));
        const SceneArrays data(scene);
        const auto positions = data.get<float>("positions");
        const auto uvs = data.get<float>("uvs");
        const auto day = data.get<uint8_t>("day");
        const auto night = data.get<uint8_t>("night");
        const auto indices = data.get<uint16_t>("indices");
        const auto materials = data.get<uint16_t>("triangleMaterials");
        const auto firstVertex = data.get<int32_t>("modelFirstVertex"), vertices = data.get<int32_t>("modelVertices");
        const auto firstTriangle = data.get<int32_t>("modelFirstTriangle"), triangles = data.get<int32_t>("modelTriangles");
        const auto ide = data.get<int32_t>("modelIde"), dictionary = data.get<int32_t>("modelDictionary");
        const auto flags = data.get<uint8_t>("modelFlags");
        const auto materialCounts = data.get<uint16_t>("modelMaterialCounts");
        const auto materialTextures = data.get<int32_t>("materialTextures");
        ASSERT_EQ(scene["indexBytes"], 2);
        ASSERT_EQ(positions.size(), 3 * scene["vertices"].get<std::size_t>());
        ASSERT_EQ(indices.size(), 3 * scene["triangles"].get<std::size_t>());
        EXPECT_EQ(scene["models"], manifest["counts"]["models"]);
        EXPECT_EQ(scene["placements"], manifest["counts"]["placements"]);

        // Each model against its DFF and its IDE line.
        const auto disk = filesOnDisk(o.levelFolder(), "TOWN", c.target, c.archive);
        const auto objs = sectionLines(readLines(o.levelFolder() / "town.ide"), "objs");
        ASSERT_EQ(objs.size(), scene["modelNames"].size());
        ASSERT_EQ(objs.size(), ide.size());
        std::size_t material = 0;
        for (std::size_t i = 0; i < objs.size(); ++i) {
            const std::string name = scene["modelNames"][i];
            const auto fields = splitFields(objs[i]);
            ASSERT_EQ(name, fields[1]);
            EXPECT_EQ(ide[i], std::stoi(fields[0]));
            EXPECT_EQ(scene["dictionaries"][std::size_t(dictionary[i])], c.txd == TxdMode::NoTxd ? std::string() : fields[2]);
            const std::string file = (c.archive ? "TOWN.IMG/" : "") + name + ".dff";
            ASSERT_TRUE(disk.count(file)) << file;
            // An archive entry fills whole sectors: the manifest has the file's own size.
            std::size_t size = disk.at(file).size();
            for (const Json& f : manifest["files"])
                if (f["name"] == name + ".dff") size = f["bytes"];
            const inspect::DffGeometry g = inspect::readDff(std::span(disk.at(file)).first(size), file).geometries.at(0);
            const std::size_t v0 = std::size_t(firstVertex[i]), t0 = std::size_t(firstTriangle[i]);
            ASSERT_EQ(std::size_t(vertices[i]), g.positions.size());
            ASSERT_EQ(std::size_t(triangles[i]), g.triangles.size());
            EXPECT_EQ((flags[i] & 8) != 0, !g.night.empty()) << name;
            EXPECT_EQ(!g.night.empty(), c.night) << name;
            for (std::size_t v = 0; v < g.positions.size(); ++v) {
                for (int a = 0; a < 3; ++a) ASSERT_EQ(positions[3 * (v0 + v) + a], g.positions[v][a]) << name << " vertex " << v;
                for (int a = 0; a < 2; ++a) ASSERT_EQ(uvs[2 * (v0 + v) + a], g.coordinates[v][a]) << name << " vertex " << v;
                for (int a = 0; a < 4; ++a) {
                    ASSERT_EQ(day[4 * (v0 + v) + a], g.prelit[v][a]) << name << " vertex " << v;
                    if (!g.night.empty()) {
                        ASSERT_EQ(night[4 * (v0 + v) + a], g.night[v][a]) << name << " vertex " << v;
                    }
                }
            }
            // The file stores a triangle as b, a, material, c.
            for (std::size_t t = 0; t < g.triangles.size(); ++t) {
                const auto& stored = g.triangles[t];
                const std::size_t at = 3 * (t0 + t);
                ASSERT_EQ((std::array<uint16_t, 3>{indices[at], indices[at + 1], indices[at + 2]}),
                          (std::array<uint16_t, 3>{stored[1], stored[0], stored[3]})) << name << " triangle " << t;
                ASSERT_EQ(materials[t0 + t], stored[2]);
            }
            ASSERT_EQ(materialCounts[i], g.materialNames.size());
            for (std::size_t k = 0; k < g.materialNames.size(); ++k, ++material) {
                EXPECT_EQ(scene["materialNames"][material], g.materialNames[k]);
                // A textured material finds its texture when the run wrote dictionaries.
                const int texture = materialTextures[material];
                if (c.txd == TxdMode::NoTxd || g.materialNames[k].empty()) continue;
                ASSERT_GE(texture, 0) << name << " material " << k;
                EXPECT_EQ(scene["textures"][texture]["name"], g.materialNames[k]);
                EXPECT_EQ(scene["textures"][texture]["dictionary"], fields[2]);
            }
        }

        // Each texture as its dictionary decodes it: name, size and whether it has alpha.
        std::size_t texture = 0, alphas = 0;
        for (const auto& [file, bytes] : disk) {
            if (file.size() < 4 || toLower(file.substr(file.size() - 4)) != ".txd") continue;
            std::size_t size = bytes.size();
            const std::string entry = file.substr(file.find('/') + 1);
            for (const Json& f : manifest["files"])
                if (f["name"] == entry) size = f["bytes"];
            for (const DictionaryTexture& t : decodeDictionary(std::span(bytes).first(size), file)) {
                const Json& written = scene["textures"][texture++];
                EXPECT_EQ(written["name"], t.name);
                EXPECT_EQ(written["width"], t.width);
                EXPECT_EQ(written["height"], t.height);
                EXPECT_EQ(written["alpha"], t.hasAlpha) << t.name;
                alphas += t.hasAlpha;
            }
        }
        EXPECT_EQ(texture, scene["textures"].size());
        if (c.txd != TxdMode::NoTxd) {
            EXPECT_GT(alphas, 0u) << "the sample has textures with alpha";
        }

        // Each placement against its IPL line: the model it names, where, turned how.
        const auto inst = sectionLines(readLines(o.levelFolder() / "town.ipl"), "inst");
        const auto models = data.get<int32_t>("placementModels");
        const auto where = data.get<float>("placementPositions");
        const auto turn = data.get<float>("placementRotations");
        ASSERT_EQ(models.size(), inst.size());
        ASSERT_GT(inst.size(), 0u);
        const IplFields at = iplFields(c.target);
        for (std::size_t i = 0; i < inst.size(); ++i) {
            const auto fields = splitFields(inst[i]);
            ASSERT_EQ(scene["modelNames"][std::size_t(models[i])], fields[1]);
            for (int a = 0; a < 3; ++a) EXPECT_NEAR(where[3 * i + a], std::stod(fields[std::size_t(at.x + a)]), 1e-3) << inst[i];
            for (int a = 0; a < 4; ++a) EXPECT_NEAR(turn[4 * i + a], std::stod(fields[std::size_t(at.rotation + a)]), 1e-6) << inst[i];
        }
    }
}
