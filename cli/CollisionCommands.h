#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "collision/ColMapFiles.h"
#include "collision/StoriesColModel.h"

namespace veldrin::cli {

// veldrin-cli colmap GAME.DTZ --img GAME.IMG [--blank-dff FILE] [--edition lcs|vcs] [--target gta3|vc|sa]
//     [--no-buildings] [--no-dynamic] [--no-treadables] [--id-offset N] [--map-offset=X,Y,Z] [--out DIR]
struct ColmapCommand {
    ColMapPaths paths;
    ColMapOptions options;
    bool help = false;
};

// veldrin-cli col2 FILE.col2 [--edition lcs|vcs] [--out FILE]
struct Col2Command {
    std::filesystem::path input;
    std::filesystem::path output; // FILE.col2.col unless --out names another
    StoriesEdition edition = StoriesEdition::LCS;
    bool help = false;
};

extern const char* const kColmapUsage;
extern const char* const kCol2Usage;

// Parse the arguments after the command name; throw UsageError for bad usage.
ColmapCommand parseColmapArguments(const std::vector<std::string>& args);
Col2Command parseCol2Arguments(const std::vector<std::string>& args);

// Run the commands: 0 on success ("Done!" last on standard output), 1 when the run fails (its message
// on standard error), 2 for bad usage.
int runColmapCommand(const std::vector<std::string>& args);
int runCol2Command(const std::vector<std::string>& args);

} // namespace veldrin::cli
