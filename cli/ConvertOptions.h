#pragma once
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/batch/BatchRun.h"
#include "app/options/ConversionOptions.h"
#include "app/options/OptionTable.h"
#include "cli/Progress.h"

namespace CLI {
class App;
class Option;
}

namespace veldrin::cli {

// What the convert and info commands were given: the options every level shares, then the levels.
struct ConvertRequest {
    BatchSettings settings; // what every level shares: the options, DIR, the prefixes given, --clean
    std::vector<std::string> levels;
    std::set<OptionId> given; // the value options given (a flag given is on)
    std::optional<std::filesystem::path> infoReport; // info: the folder of the level's pictures
    Verbosity verbosity = Verbosity::Normal;
};

// The commands and their options, built from the option table (app/OptionTable).
CLI::App* addConvertCommand(CLI::App& root, ConvertRequest& request, int defaultJobs);
CLI::App* addInfoCommand(CLI::App& root, ConvertRequest& request);

// One option of the option table on a command, filling `request` (and its `given`); `help` replaces
// the table's help line when not empty.
CLI::Option* tableOption(CLI::App& cmd, ConvertRequest& request, OptionId id, const std::string& help = {});

// --quiet and --verbose, for the commands that show progress.
void addVerbosityOptions(CLI::App& cmd, Verbosity& verbosity);

// Checks what the options cannot check one by one, among them an option given without the one it
// refines (--models-per-txd without --txd group, --island without --zon); throws UsageError.
void checkConvertRequest(const ConvertRequest& request, const std::string& command);

// The run's options for one level: the pick derives the paths, the names and the output folder; the
// options given explicitly then take precedence.
ConversionOptions optionsForLevel(const ConvertRequest& request, const std::string& level);

} // namespace veldrin::cli
