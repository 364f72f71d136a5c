// Writes a synthetic level pair (NAME.lvz and NAME.IMG) for trying the converter and for benchmarks;
// with --colmap a small collision map (GAME.DTZ and GAME.IMG) instead, with --game-folder TARGET a
// made-up PC game folder for trying the install.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/Editions.h"
#include "base/FileIO.h"
#include "support/CollisionBuilder.h"
#include "support/GameFolderBuilder.h"
#include "support/SampleLevels.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: veldrin-testlevel DIR [--name NAME] [--edition E] [--city [--scale N] | --small] | DIR --colmap | "
                         "DIR --game-folder gta3|vc|sa\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace veldrin;
    std::string folder, name = "town";
    GameVersion edition = GameVersion::LcsPs2;
    bool city = false, small = false, colMap = false;
    int scale = 1; // the city times this many models and textures (its instances as far as the ids allow)
    std::optional<TargetGame> gameFolder;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--name" && i + 1 < argc) name = argv[++i];
        else if (a == "--edition" && i + 1 < argc) {
            const auto e = parseEdition(argv[++i]);
            if (!e) {
                std::fprintf(stderr, "unknown edition %s\n", argv[i]);
                return 2;
            }
            edition = *e;
        } else if (a == "--city") city = true;
        else if (a == "--small") small = true; // a handful of models, as a first level tried by hand might be
        else if (a == "--scale" && i + 1 < argc && std::atoi(argv[i + 1]) > 0) scale = std::atoi(argv[++i]);
        else if (a == "--colmap") colMap = true;
        else if (a == "--game-folder" && i + 1 < argc) {
            gameFolder = parseTargetGame(argv[++i]);
            if (!gameFolder) {
                std::fprintf(stderr, "unknown target %s\n", argv[i]);
                return 2;
            }
        }
        else if (folder.empty() && a.rfind("--", 0) != 0) folder = a;
        else return usage();
    }
    // The folder is always named: run by hand without one, it would scatter files wherever it stands.
    if (folder.empty()) return usage();
    try {
        if (gameFolder) {
            std::printf("%s\n", test::buildGameFolder(folder, *gameFolder).root.string().c_str());
            return 0;
        }
        if (colMap) {
            test::TestDtz dtz;
            dtz.modelCount = 6;
            dtz.collisions = {{2, test::boxModel(1)}, {5, test::boxModel(3)}};
            dtz.buildings.instances = {test::placedAt(2, 10, 20, 5), test::placedAt(5, -4, 8, 2), test::placedAt(2, 30, 1, 0)};
            writeWholeFile(std::filesystem::path(folder) / "GAME.DTZ", test::buildDtz(dtz, StoriesEdition::LCS));
            writeWholeFile(std::filesystem::path(folder) / "GAME.IMG", test::buildColImg({}));
            std::printf("%s\n", (std::filesystem::path(folder) / "GAME.DTZ").string().c_str());
            return 0;
        }
        test::SampleShape shape = test::scaledShape(city ? test::cityShape() : test::SampleShape{}, city ? scale : 1);
        if (small) shape = {.textures = 4, .models = 6, .instances = 12, .pairs = 0};
        if (shape.textures + shape.models + 3 > 65535) {
            std::fprintf(stderr, "--scale %d makes %d resources; a level holds at most 65535 (its resource indices are 16 bits)\n",
                         scale, shape.textures + shape.models + 3);
            return 2;
        }
        const test::LevelDescription d = test::sampleTown(edition, shape);
        const auto path = test::buildLevel(d).write(folder, name);
        std::printf("%s\n", path.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
