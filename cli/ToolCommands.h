#pragma once
#include <filesystem>

#include "tools/PlacementDump.h"

namespace CLI {
class App;
}

namespace veldrin::cli {

// veldrin-cli patch-vc gta-vc.exe [--dry-run]
struct PatchVcCommand {
    std::filesystem::path exe;
    bool dryRun = false;
};

// veldrin-cli dump GAME.DTZ [--id-offset N] [--level-name NAME] [--out DIR]
struct DumpCommand {
    std::filesystem::path input;
    PlacementDumpOptions options;
    std::filesystem::path outFolder = ".";
};

CLI::App* addPatchVcCommand(CLI::App& root, PatchVcCommand& cmd);
CLI::App* addDumpCommand(CLI::App& root, DumpCommand& cmd);

// Each returns the exit status: 0 success, 1 failure.
int runPatchVcCommand(const PatchVcCommand& cmd);
int runDumpCommand(const DumpCommand& cmd);

} // namespace veldrin::cli
