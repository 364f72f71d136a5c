#include "install/GameFolder.h"

#include <array>
#include <string>
#include <vector>

#include "base/Error.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

struct GameDataFile {
    const char* name;
    TargetGame target;
};

constexpr std::array<GameDataFile, 3> kGameDataFiles{{
    {"gta3.dat", TargetGame::Gta3},
    {"gta_vc.dat", TargetGame::GtaVc},
    {"gta.dat", TargetGame::GtaSa},
}};

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

GameFolder recogniseGameFolder(const fs::path& root) {
    const std::string looked = "looked for data/default.dat and one of data/gta3.dat, data/gta_vc.dat, data/gta.dat";
    std::error_code error;
    if (!fs::is_directory(root, error))
        throw VeldrinError(root.string() + ": not a game folder (no such folder; " + looked + ")");
    const fs::path data = root / "data";
    std::vector<const GameDataFile*> found;
    for (const GameDataFile& file : kGameDataFiles)
        if (isFile(data / file.name)) found.push_back(&file);
    const bool hasDefault = isFile(data / "default.dat");
    if (found.empty() || !hasDefault)
        throw VeldrinError(root.string() + ": not a game folder (" + looked + "; found " +
                           (hasDefault ? "default.dat alone" : found.empty() ? "neither" : std::string(found[0]->name) + " alone") +
                           "). Choose the folder that holds the game's program and its data folder.");
    if (found.size() > 1)
        throw VeldrinError(root.string() + ": the data folder holds the data files of more than one game (" +
                           found[0]->name + " and " + found[1]->name + "); cannot tell which game this is");
    GameFolder game;
    game.root = root;
    game.target = found[0]->target;
    game.gameDataFile = data / found[0]->name;
    game.defaultDataFile = data / "default.dat";
    return game;
}

fs::path installFolder(const GameFolder& game) { return game.root / "veldrin"; }

} // namespace veldrin::install
