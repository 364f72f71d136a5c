#pragma once
#include <filesystem>

#include "cli/Progress.h"
#include "collision/ColMapFiles.h"
#include "collision/StoriesColModel.h"

namespace CLI {
class App;
}

namespace veldrin::cli {

// veldrin-cli colmap GAME.DTZ --img GAME.IMG [options]
struct ColmapCommand {
    ColMapPaths paths;
    ColMapOptions options;
    Verbosity verbosity = Verbosity::Normal;
};

// veldrin-cli col2 FILE.col2 [--edition lcs|vcs] [--out FILE]
struct Col2Command {
    std::filesystem::path input;
    std::filesystem::path output; // FILE.col2.col unless --out names another
    StoriesEdition edition = StoriesEdition::LCS;
    Verbosity verbosity = Verbosity::Normal;
};

CLI::App* addColmapCommand(CLI::App& root, ColmapCommand& cmd);
CLI::App* addCol2Command(CLI::App& root, Col2Command& cmd);

// Run the commands: 0 on success ("Done!" last on standard output), 1 when the run fails (its message
// on standard error).
int runColmapCommand(const ColmapCommand& cmd);
int runCol2Command(Col2Command cmd);

} // namespace veldrin::cli
