#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "tools/PlacementDump.h"

namespace veldrin::cli {

// The side tools on the command line:
//   veldrin-cli patch-vc gta-vc.exe
//   veldrin-cli dump FILE [--id-offset N] [--level-name NAME] [--out DIR]
extern const char* const kToolUsage;

struct DumpCommand {
    std::filesystem::path input;
    PlacementDumpOptions options;
    std::filesystem::path outFolder = ".";
};

// Parses the arguments after "dump". Throws UsageError for bad usage.
DumpCommand parseDumpArguments(const std::vector<std::string>& args);

// Each takes the arguments after the command's name and returns the exit status: 0 success,
// 1 failure, 2 bad usage.
int runPatchVcCommand(const std::vector<std::string>& args);
int runDumpCommand(const std::vector<std::string>& args);

} // namespace veldrin::cli
