// Writes the seed corpora of the fuzz targets (one folder per target) from the test builders, and, with
// --hostile, the crafted inputs that the test suite keeps for the readers' resource limits.
//   veldrin-fuzz-corpus CORPUS_DIR [--hostile DATA_DIR]
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "FuzzInput.h"
#include "base/ByteReader.h"
#include "level/WorldTables.h"
#include "report/Sha256.h"
#include "support/CollisionBuilder.h"
#include "support/LevelBuilder.h"
#include "support/ModelEncoder.h"
#include "support/SampleLevels.h"
#include "support/TextureEncoder.h"
#include "texture/TextureDictionary.h"
#include "tools/VcPatch.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

const GameVersion kEditions[] = {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp};

void save(const fs::path& file, const std::vector<uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

uint8_t editionBits(GameVersion e) { return static_cast<uint8_t>(static_cast<int>(e) - 1); }

void levelSeeds(const fs::path& dir) {
    SampleShape shape;
    shape.textures = 3;
    shape.models = 5;
    shape.instances = 10;
    shape.pairs = 1;
    for (GameVersion e : kEditions) {
        const BuiltLevel level = buildLevel(sampleTown(e, shape));
        for (int target = 0; target < 3; ++target) {
            const bool compressed = target == 1;
            std::vector<uint8_t> seed;
            const uint8_t detect = target == 2 ? 0x20 : 0;
            fuzz::putByte(seed, static_cast<uint8_t>(editionBits(e) | target << 2 | (compressed ? 0x10 : 0) | detect));
            fuzz::putPart(seed, compressed ? level.lvz : level.world);
            fuzz::putRest(seed, level.img);
            save(dir / (std::string(editionName(e)) + "-" + std::to_string(target)), seed);
        }
    }
}

TestModelPart samplePart(int materials) {
    TestModelPart part;
    for (int m = 0; m < materials; ++m) {
        TestMaterial material{static_cast<int16_t>(m + 1), 1.0f, 2.0f, {}};
        for (int v = 0; v < 5 + m; ++v) {
            material.strip.push_back(TestVertex{static_cast<int16_t>(v * 100), static_cast<int16_t>(m * 50),
                                                static_cast<int16_t>(-v), static_cast<uint8_t>(v * 20),
                                                static_cast<uint8_t>(m * 30), static_cast<uint16_t>(0x7FFF - v * 999)});
        }
        part.materials.push_back(std::move(material));
    }
    return part;
}

void geometrySeeds(const fs::path& dir) {
    for (GameVersion e : kEditions) {
        for (int shape = 0; shape < 2; ++shape) {
            std::vector<uint8_t> level(16, 0);
            const std::vector<uint8_t> first = encodeModelPart(e, samplePart(shape == 0 ? 1 : 3));
            level.insert(level.end(), first.begin(), first.end());
            const uint32_t second = static_cast<uint32_t>(level.size());
            if (shape == 1) {
                const std::vector<uint8_t> bytes = encodeModelPart(e, samplePart(2));
                level.insert(level.end(), bytes.begin(), bytes.end());
            }
            std::vector<uint8_t> seed;
            fuzz::putByte(seed, static_cast<uint8_t>(editionBits(e) | (shape + 1) << 2 | shape << 4 | 0x20));
            fuzz::putByte(seed, 64);
            fuzz::putByte(seed, 16);
            fuzz::putU32(seed, 16);
            fuzz::putU32(seed, shape == 1 ? second : 0);
            fuzz::putRest(seed, level);
            save(dir / (std::string(editionName(e)) + "-" + std::to_string(shape)), seed);
        }
    }
}

TestTexture pattern(int width, int height, int depth, bool alpha) {
    TestTexture t;
    t.width = width;
    t.height = height;
    t.depth = depth;
    const int colours = depth == 4 ? 16 : 256;
    for (int i = 0; i < width * height; ++i) t.texels.push_back(static_cast<uint8_t>((i * 7 + i / width) % colours));
    for (int c = 0; c < colours; ++c) {
        t.palette.push_back({static_cast<uint8_t>(c * 3), static_cast<uint8_t>(255 - c), static_cast<uint8_t>(c * 11),
                             static_cast<uint8_t>(alpha && c % 3 == 0 ? 40 : 128)});
    }
    return t;
}

void textureSeeds(const fs::path& dir) {
    int n = 0;
    for (GameVersion e : kEditions) {
        for (const TestTexture& t : {pattern(16, 16, 8, false), pattern(32, 8, 4, true), pattern(8, 32, 8, true)}) {
            const std::vector<uint8_t> level = encodeTexture(e, t, 0);
            std::vector<uint8_t> seed;
            fuzz::putByte(seed, static_cast<uint8_t>(editionBits(e) | (n % 3) << 2 | (n % 2) << 4));
            for (int i = 0; i < 2; ++i) {
                fuzz::putU32(seed, 0);
                fuzz::putU32(seed, 0);
            }
            fuzz::putRest(seed, level);
            save(dir / (std::string(editionName(e)) + "-" + std::to_string(n++)), seed);
        }
    }
}

// Dictionaries as the converter writes them, for the report's reader; and a model with a texture
// behind it, for the thumbnail.
void reportSeeds(const fs::path& corpus) {
    int n = 0;
    for (GameVersion e : {GameVersion::LcsPs2, GameVersion::VcsPsp}) {
        std::vector<uint8_t> level = encodeTexture(e, pattern(16, 16, 8, false), 0);
        const int64_t second = static_cast<int64_t>((level.size() + 15) / 16 * 16);
        level.resize(static_cast<std::size_t>(second), 0);
        const std::vector<uint8_t> alpha = encodeTexture(e, pattern(32, 8, 4, true), 0);
        level.insert(level.end(), alpha.begin(), alpha.end());
        const std::vector<TextureRef> refs{{1, 0, 0}, {2, second, second}};
        for (int target = 1; target <= 3; ++target) {
            TxdParams params{static_cast<TargetGame>(target), e, "tex", target == 2};
            save(corpus / "dictionary" / ("txd-" + std::to_string(n++)), makeTxd(level, refs, params));
        }

        std::vector<uint8_t> model(16, 0);
        const std::vector<uint8_t> part = encodeModelPart(e, samplePart(2));
        model.insert(model.end(), part.begin(), part.end());
        model.resize((model.size() + 15) / 16 * 16, 0);
        const uint32_t texture = static_cast<uint32_t>(model.size());
        const std::vector<uint8_t> bytes = encodeTexture(e, pattern(16, 16, 8, true), 0);
        model.insert(model.end(), bytes.begin(), bytes.end());
        std::vector<uint8_t> seed;
        fuzz::putByte(seed, editionBits(e));
        fuzz::putU32(seed, 16);
        fuzz::putU32(seed, 0);
        fuzz::putU32(seed, texture);
        fuzz::putU32(seed, texture);
        fuzz::putByte(seed, 32);
        fuzz::putRest(seed, model);
        save(corpus / "thumbnail" / editionName(e), seed);
    }
}

TestColModel richModel() {
    TestColModel m = boxModel(4);
    m.spheres.push_back(TestColSphere{{1, 2, 3}, 2, 5, 1});
    m.vertices = {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {0, 0, 128}};
    m.faces = {TestColFace{{0, 6, 12}, 3}, TestColFace{{6, 12, 18}, 4}};
    return m;
}

const StoriesEdition kColEditions[] = {StoriesEdition::LCS, StoriesEdition::VCS};

void collisionSeeds(const fs::path& corpus) {
    for (StoriesEdition e : kColEditions) {
        const std::string name = e == StoriesEdition::LCS ? "lcs" : "vcs";
        const uint8_t bit = e == StoriesEdition::VCS ? 1 : 0;
        for (const TestColModel& model : {boxModel(2), richModel()}) {
            std::vector<uint8_t> stream(8, 0);
            const uint32_t header = appendColModel(stream, model, e, 0);
            std::vector<uint8_t> seed;
            fuzz::putByte(seed, bit);
            fuzz::putU32(seed, header);
            fuzz::putU32(seed, 0);
            fuzz::putRest(seed, stream);
            save(corpus / "stories_col" / (name + "-" + std::to_string(model.faces.size())), seed);
        }

        const std::vector<uint8_t> col2 = buildCol2({{0, richModel()}, {3, boxModel(1)}, {-2, boxModel(1)}}, e);
        std::vector<uint8_t> seed{bit};
        fuzz::putRest(seed, col2);
        save(corpus / "col2" / name, seed);

        TestDtz dtz;
        dtz.modelCount = 6;
        dtz.collisions = {{1, boxModel(2)}, {2, richModel()}};
        dtz.withoutCollision = {4};
        dtz.buildings.instances = {placedAt(1, 10, 20, 30), placedAt(2, -5, 0, 1), placedAt(5, 0, 0, 0)};
        dtz.treadables.instances = {placedAt(2, 1, 1, 1)};
        dtz.dummies.instances = {placedAt(3, 7, 7, 7)};
        const std::vector<uint8_t> img = buildColImg({buildCol2({{3, boxModel(3)}}, e)});
        const std::vector<uint8_t> blank{1, 2, 3, 4};
        for (int target = 0; target < 3; ++target) {
            std::vector<uint8_t> mapSeed;
            fuzz::putByte(mapSeed, static_cast<uint8_t>(bit | target << 1 | 0x38 | (target == 2 ? 0x80 : 0)));
            fuzz::putU32(mapSeed, 1000);
            fuzz::putPart(mapSeed, buildDtzData(dtz, e));
            fuzz::putPart(mapSeed, blank);
            fuzz::putRest(mapSeed, img);
            save(corpus / "colmap" / (name + "-" + std::to_string(target)), mapSeed);
        }
        std::vector<uint8_t> dumpSeed;
        fuzz::putU32(dumpSeed, 1000);
        fuzz::putRest(dumpSeed, buildDtzData(dtz, e));
        save(corpus / "placement_dump" / name, dumpSeed);
    }
}

void textSeeds(const fs::path& dir) {
    const std::string zones[] = {
        "zone\nINDUST, 0, -1000.0, -500.0, -50.0, 100.0, 200.0, 300.0, 1\nend\n",
        "# zones\r\n zone \r\n\r\nA, 3, 1, 2, 3, 4, 5, 6, 0\r\n# note\r\nB, 0, -1e3, 0, 0, 1e3, 1, 1, 255\r\n end\r\n",
        "zone\nC, 0, 0, 0, 0, 10, 10, 10, 2\n",
    };
    int n = 0;
    for (const std::string& text : zones) save(dir / ("zon-" + std::to_string(n++)), std::vector<uint8_t>(text.begin(), text.end()));
}

void patcherSeeds(const fs::path& dir) {
    const uint8_t states[][8] = {{2, 2, 2, 2, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 2, 2, 2, 2},
                                 {0, 0, 0, 0, 1, 1, 1, 1}, {2, 1, 2, 2, 2, 2, 2, 2}};
    int n = 0;
    for (const auto& s : states) {
        std::vector<uint8_t> seed;
        fuzz::putU32(seed, 0x7FF);
        seed.insert(seed.end(), s, s + 8);
        save(dir / ("exe-" + std::to_string(n++)), seed);
    }
}

// An install record and data file as an install leaves them; one record also names a file outside the
// game folder through the link the target plants, with that file's true size and hash.
void installSeeds(const fs::path& dir) {
    const auto bytesOf = [](const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    const auto fileEntry = [&](const std::string& path, const std::string& content) {
        return "{\"path\":\"" + path + "\",\"size\":" + std::to_string(content.size()) + ",\"sha256\":\"" +
               sha256Hex(bytesOf(content)) + "\"}";
    };
    const std::string lines = "\"CDIMAGE veldrin\\\\veldrin.img\",\"IDE veldrin\\\\town.ide\"";
    const std::string block = "# Veldrin install: begin (\"veldrin-cli uninstall GAME_DIR\" removes this block)\r\n"
                              "CDIMAGE veldrin\\veldrin.img\r\nIDE veldrin\\town.ide\r\n# Veldrin install: end\r\n";
    const std::string game = "IDE DATA\\MAPS\\A.IDE\r\nIPL DATA\\MAPS\\A.IPL\r\n";
    const auto record = [&](const std::string& files) {
        return "{\"program\":\"Veldrin\",\"version\":\"1\",\"target\":\"vc\",\"files\":[" + files +
               "],\"dataFiles\":[{\"path\":\"data/gta_vc.dat\",\"backup\":\"data/gta_vc.dat.veldrin-backup\",\"lines\":[" +
               lines + "]}],\"details\":{}}";
    };
    const std::string town = fileEntry("veldrin/town.ide", "objs\r\nend\r\n");
    const std::pair<std::string, std::string> seeds[] = {
        {game + block, record(town)},
        {game + block, record(town + "," + fileEntry("veldrin/out/victim.txt", "outside the game folder"))},
        {game + block.substr(0, block.rfind("# Veldrin install: end")), record(town)},
        {"IDE veldrin\\town.ide\r\n,\r\ncdimage\tveldrin\\veldrin.img\r", record(town)},
    };
    int n = 0;
    for (const auto& [dataFile, recordText] : seeds) {
        std::vector<uint8_t> seed;
        fuzz::putPart(seed, bytesOf(dataFile));
        fuzz::putRest(seed, bytesOf(recordText));
        save(dir / ("install-" + std::to_string(n++)), seed);
    }
}

// --- Hostile inputs: each overflows one resource limit of a reader. ---

// A level whose every cell names the one block that holds all the instance records.
void sharedCells(const fs::path& dir) {
    const GameVersion e = GameVersion::LcsPs2;
    LevelDescription d;
    d.edition = e;
    d.resourceCount = 4;
    const WorldLayout layout = worldLayout(e);
    TestCell cell;
    cell.row = 3;
    cell.column = layout.cellCount - 1;
    for (int i = 0; i < 4000; ++i) cell.instances.push_back(TestInstance{i, i % 4, i % 4});
    d.cells.push_back(cell);
    // Every row gets its full width of cells.
    for (int r = 0; r + 1 < layout.rowCount; ++r) {
        if (r != 3) d.cells.push_back(TestCell{r, layout.cellCount - 1, false, {}, {}});
    }
    BuiltLevel level = buildLevel(d);
    const ByteReader world(level.world, "world");
    const int64_t target = world.u32(36 + 8 * 3) + 32 * (layout.cellCount - 1) + 24;
    const uint32_t data = world.u32(target);
    for (int r = 0; r + 1 < layout.rowCount; ++r) {
        const int64_t from = world.u32(36 + 8 * r), to = world.u32(36 + 8 * (r + 1));
        for (int64_t h = from; h + 32 <= to; h += 32) {
            for (int k = 0; k < 4; ++k) level.world[static_cast<std::size_t>(h + 24 + k)] = static_cast<uint8_t>(data >> (8 * k));
        }
    }
    save(dir / "shared-cells.lvz", deflateBytes(level.world));
    save(dir / "shared-cells.IMG", level.img);
}

// A collision model of 1,000 faces over 300 vertices.
TestColModel largeColModel() {
    TestColModel big;
    for (int v = 0; v < 300; ++v) big.vertices.push_back({static_cast<int16_t>(v), 0, static_cast<int16_t>(-v)});
    for (int f = 0; f < 1000; ++f) {
        big.faces.push_back(TestColFace{{static_cast<int16_t>(6 * (f % 300)), static_cast<int16_t>(6 * ((f + 1) % 300)),
                                         static_cast<int16_t>(6 * ((f + 2) % 300))}, 1});
    }
    return big;
}

// A COL2 file whose index names one large model thousands of times.
void sharedCol2Models(const fs::path& dir) {
    save(dir / "shared-models.col2", buildSharedCol2(largeColModel(), 2000, false, StoriesEdition::LCS));
}

// A collision map whose 20,000 models, each placed once, are all given one large record by the IMG's
// collision file: 222 KB of input asked for 394 MB of ColMap.col and 641 MB of memory.
void sharedColMapRecords(const fs::path& dir) {
    constexpr int kModels = 20000;
    TestDtz dtz;
    dtz.modelCount = kModels;
    for (int m = 0; m < kModels; ++m) dtz.buildings.instances.push_back(placedAt(m, 0, 0, 0));
    save(dir / "shared-colmap-records.img", buildColImg({buildSharedCol2(largeColModel(), kModels, true, StoriesEdition::LCS)}));
    save(dir / "shared-colmap-records.dtz", buildDtz(dtz, StoriesEdition::LCS));
}

// An IMG in which every sector starts a COL2 file whose index runs on to the one closing entry at the
// IMG's end: read from every start, that is quadratic in the IMG's size.
void col2Sectors(const fs::path& dir) {
    constexpr std::size_t kSectors = 128;
    std::vector<uint8_t> img(2048 * kSectors, 0);
    for (std::size_t s = 0; s < kSectors; ++s) {
        std::copy_n("2loc", 4, img.begin() + static_cast<std::ptrdiff_t>(s * 2048));
        for (std::size_t at = s * 2048 + 32; at + 8 <= (s + 1) * 2048; at += 8) img[at] = 7;
    }
    std::fill(img.end() - 8, img.end() - 4, 0xFF);
    TestDtz dtz;
    dtz.modelCount = 8;
    dtz.buildings.instances = {placedAt(1, 0, 0, 0)};
    save(dir / "col2-sectors.img", img);
    save(dir / "col2-sectors.dtz", buildDtz(dtz, StoriesEdition::LCS));
}

// A level whose 2,000 models all point the world table at one geometry of 38,400 vertices, each model
// placed once: a 50 KB LVZ and a 200 KB IMG asked for 2,000 DFFs of 1.2 MB each.
void sharedGeometry(const fs::path& dir) {
    constexpr int kModels = 2000;
    const GameVersion e = GameVersion::LcsPs2;
    TestModelPart big;
    for (int m = 0; m < 16; ++m) {
        TestMaterial material{static_cast<int16_t>(m), 1.0f, 1.0f, {}};
        for (int v = 0; v < 2400; ++v) {
            material.strip.push_back(TestVertex{static_cast<int16_t>(v), static_cast<int16_t>(m * 64), static_cast<int16_t>(v % 7),
                                                static_cast<uint8_t>(v), static_cast<uint8_t>(m), 0x7FFF});
        }
        big.materials.push_back(std::move(material));
    }
    const std::vector<uint8_t> bigBytes = encodeModelPart(e, big);
    const std::vector<uint8_t> smallBytes = encodeModelPart(e, samplePart(1));
    LevelDescription d;
    d.edition = e;
    d.resourceCount = kModels + 1;
    d.resources[0].encode = [&](uint32_t) { return bigBytes; };
    TestCell cell;
    cell.row = 3;
    for (int m = 1; m <= kModels; ++m) {
        d.resources[m].encode = [&](uint32_t) { return smallBytes; };
        cell.instances.push_back(TestInstance{m, m, 2});
    }
    d.cells.push_back(cell);
    BuiltLevel level = buildLevel(d);
    // Every model's world table entry takes the offset of resource 0's geometry.
    const ByteReader world(level.world, "world");
    const int64_t table = world.u32(32);
    const int entrySize = worldLayout(e).resourceEntrySize;
    const uint32_t shared = world.u32(table);
    for (int m = 1; m <= kModels; ++m) {
        for (int k = 0; k < 4; ++k) level.world[static_cast<std::size_t>(table + m * entrySize + k)] = static_cast<uint8_t>(shared >> (8 * k));
    }
    save(dir / "shared-geometry.lvz", deflateBytes(level.world));
    save(dir / "shared-geometry.IMG", level.img);
}

// One texture record named by every entry of a long texture list: u32 count, u32 position, u32 base, level.
void sharedTextures(const fs::path& dir) {
    std::vector<uint8_t> input;
    fuzz::putU32(input, 65535);
    fuzz::putU32(input, 0);
    fuzz::putU32(input, 0);
    fuzz::putRest(input, encodeTexture(GameVersion::LcsPs2, pattern(512, 512, 4, false), 0));
    save(dir / "shared-record.tex", input);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: veldrin-fuzz-corpus CORPUS_DIR [--hostile DATA_DIR]\n";
        return 2;
    }
    const fs::path corpus = argv[1];
    levelSeeds(corpus / "level");
    geometrySeeds(corpus / "geometry");
    textureSeeds(corpus / "texture");
    collisionSeeds(corpus);
    textSeeds(corpus / "zon");
    patcherSeeds(corpus / "vcpatch");
    reportSeeds(corpus);
    installSeeds(corpus / "install");
    if (argc == 4 && std::string(argv[2]) == "--hostile") {
        const fs::path data = argv[3];
        sharedCells(data);
        sharedGeometry(data);
        sharedCol2Models(data);
        sharedColMapRecords(data);
        col2Sectors(data);
        sharedTextures(data);
    }
    return 0;
}
