#pragma once
#include <string>
#include <vector>

#include "install/GameFolder.h"
#include "install/Uninstall.h"

namespace veldrin::install {

// Why the game folder cannot take an install now, found before anything is converted: a data file the
// install may not write, a veldrin/ folder no install of Veldrin made, an earlier install whose files
// changed since (installing over them would lose the changes). Each text names the file and says what to
// do; empty when the folder can take it. `earlier` is installStatus(game). The commit checks the same
// again as its last guard.
std::vector<std::string> checkGameFolderForInstall(const GameFolder& game, const InstallStatus& earlier);

} // namespace veldrin::install
