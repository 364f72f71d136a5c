// Writes a synthetic level pair (NAME.lvz and NAME.IMG) for trying the converter and for benchmarks.
#include <cstdio>
#include <string>

#include "base/Editions.h"
#include "support/SampleLevels.h"

int main(int argc, char** argv) {
    using namespace veldrin;
    std::string folder, name = "town";
    GameVersion edition = GameVersion::LcsPs2;
    bool city = false;
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
        else if (folder.empty() && a.rfind("--", 0) != 0) folder = a;
        else {
            std::fprintf(stderr, "usage: veldrin-testlevel DIR [--name NAME] [--edition E] [--city]\n");
            return 2;
        }
    }
    if (folder.empty()) folder = ".";
    try {
        const test::LevelDescription d = test::sampleTown(edition, city ? test::cityShape() : test::SampleShape{});
        const auto path = test::buildLevel(d).write(folder, name);
        std::printf("%s\n", path.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
