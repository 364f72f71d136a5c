#pragma once
#include <filesystem>

namespace CLI {
class App;
}

namespace veldrin::cli {

// veldrin-cli uninstall GAME_DIR
struct UninstallCommand {
    std::filesystem::path gameDir;
};

CLI::App* addUninstallCommand(CLI::App& root, UninstallCommand& cmd);

// Removes what the install record lists and the data file's block; prints what was removed and kept.
// 0 success, 1 failure (no install, a record that cannot be used, a file that cannot be removed).
int runUninstallCommand(const UninstallCommand& cmd);

// veldrin-cli install --check GAME_DIR: what is installed and whether every file is still as written.
// 0 when an install is there and intact, 1 otherwise.
int runInstallCheck(const std::filesystem::path& gameDir);

} // namespace veldrin::cli
