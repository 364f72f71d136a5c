#pragma once
// What the install library's tests share: a synthetic game folder and a staged level to commit into it.
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "install/GameFolder.h"
#include "install/InstallCommit.h"
#include "support/GameFolderBuilder.h"
#include "support/TempFolder.h"

namespace veldrin::install {

namespace fs = std::filesystem;
using test::TempFolder;
using Snapshot = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

inline void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a level install stages: an archive, a level's IDE, IPL and collision, in a sub-folder too.
inline StagedInstall stageLevel(const GameFolder& game, const std::string& level = "town") {
    const fs::path staging = makeStagingFolder(game);
    const auto [dir, img] = test::dirArchive({{level + "1.dff", std::vector<uint8_t>(3000, 1)}, {level + ".txd", std::vector<uint8_t>(900, 2)}});
    writeText(staging / "veldrin.img", std::string(img.begin(), img.end()));
    writeText(staging / "veldrin.dir", std::string(dir.begin(), dir.end()));
    writeText(staging / level / (level + ".ide"), "objs\r\n4000, " + level + "1, " + level + ", 1, 100, 0\r\nend\r\n");
    writeText(staging / level / (level + ".ipl"), "inst\r\n4000, " + level + "1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n");
    writeText(staging / level / (level + ".col"), "COLL made up");
    StagedInstall staged;
    staged.staging = staging;
    // Given out of order: the commit puts them in the order the game reads them.
    staged.lines = {{"IPL", "veldrin\\" + level + "\\" + level + ".ipl"},
                    {"IDE", "veldrin\\" + level + "\\" + level + ".ide"},
                    {"COLFILE", "veldrin\\" + level + "\\" + level + ".col"},
                    {"IMG", "veldrin\\veldrin.img"}};
    staged.details = {{"levels", {level}}, {"ids", {4000, 4000}}};
    return staged;
}

struct Game {
    TempFolder folder{"game"};
    test::BuiltGameFolder built;
    GameFolder game;
    explicit Game(TargetGame target) : built(test::buildGameFolder(folder.path(), target)), game(recogniseGameFolder(folder.path())) {}
    Snapshot snapshot() const { return test::folderSnapshot(folder.path()); }
};

} // namespace veldrin::install
