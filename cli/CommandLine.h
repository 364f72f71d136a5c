#pragma once
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "cli/CollisionCommands.h"
#include "cli/ConvertOptions.h"
#include "cli/InspectCommand.h"
#include "cli/InstallCommand.h"
#include "cli/OptionValues.h"
#include "cli/ToolCommands.h"
#include "cli/UninstallCommand.h"

namespace veldrin::cli {

enum class CommandKind { Text, Convert, Info, Colmap, Col2, PatchVc, Dump, Inspect, Uninstall, Install };

// One parsed command line. Text: help or the version, to print on standard output and exit 0; or,
// for a command line without a command, the help as a usage error (standard error, exit 2).
struct CliCommand {
    CommandKind kind = CommandKind::Text;
    std::string text;
    bool usageError = false;
    ConvertRequest convert;     // convert, info
    ConversionOptions options;  // convert, info: the run's options for the level
    ColmapCommand colmap;
    Col2Command col2;
    PatchVcCommand patchVc;
    DumpCommand dump;
    InspectCommand inspect;
    UninstallCommand uninstall;
    InstallCommand install;
};

// Parses the arguments after the program name. Throws UsageError for bad usage, a map offset that is
// not a number among it.
CliCommand parseCommandLine(const std::vector<std::string>& args, int defaultJobs);

// Parses and runs; returns the exit status: 0 success, 1 a failed run, 2 bad usage.
int runCommandLine(const std::vector<std::string>& args);

// The one line printed under a usage error, pointing at the help of the command it is about.
std::string usageLine(const std::string& command);

// The known name nearest to `word` by edit distance, when it is near enough to be a slip; "" if none.
std::string nearestName(const std::string& word, const std::vector<std::string>& names);

} // namespace veldrin::cli
