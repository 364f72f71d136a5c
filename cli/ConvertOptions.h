#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/BatchRun.h"
#include "app/ConversionOptions.h"
#include "cli/Progress.h"

namespace CLI {
class App;
}

namespace veldrin::cli {

// What the convert and info commands were given: the options every level shares, then the levels.
struct ConvertRequest {
    ConversionOptions options; // all but the level's own paths and names
    std::vector<std::string> levels;
    std::optional<std::filesystem::path> outputFolder;
    std::optional<std::string> modelPrefix;
    std::optional<std::string> texturePrefix;
    bool islandGiven = false; // without --island the run takes the smallest island of the zone file
    bool clean = false; // remove each level's old output folder before converting it
    std::optional<std::filesystem::path> infoReport; // info: the folder of the level's pictures
    Verbosity verbosity = Verbosity::Normal;
};

// The commands and their options, each option with its meaning and default in one place.
CLI::App* addConvertCommand(CLI::App& root, ConvertRequest& request, int defaultJobs);
CLI::App* addInfoCommand(CLI::App& root, ConvertRequest& request);

// --quiet and --verbose, for the commands that show progress.
void addVerbosityOptions(CLI::App& cmd, Verbosity& verbosity);

// Checks what the options cannot check one by one; throws UsageError.
void checkConvertRequest(const ConvertRequest& request, const std::string& command);

// The settings every level of the request shares.
BatchSettings batchSettings(const ConvertRequest& request);

// The run's options for one level: the pick derives the paths, the names and the output folder; the
// options given explicitly then take precedence.
ConversionOptions optionsForLevel(const ConvertRequest& request, const std::string& level);

} // namespace veldrin::cli
