#pragma once
#include <filesystem>

#include "base/Editions.h"

namespace veldrin::install {

// A PC game's folder as the install sees it: the target it sets and its two data files.
struct GameFolder {
    std::filesystem::path root;
    TargetGame target = TargetGame::Gta3;
    std::filesystem::path gameDataFile;    // data/gta3.dat | data/gta_vc.dat | data/gta.dat
    std::filesystem::path defaultDataFile; // data/default.dat
};

// Recognises the game from its data files. Throws VeldrinError naming the files it looked for when
// `root` is not a game folder (or holds the data files of more than one game).
GameFolder recogniseGameFolder(const std::filesystem::path& root);

// The folder of the game that holds everything an install writes: GAME_DIR/veldrin.
std::filesystem::path installFolder(const GameFolder& game);

} // namespace veldrin::install
