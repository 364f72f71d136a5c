#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/ConversionOptions.h"
#include "pcout/OutputSink.h"

namespace veldrin {

// How a run reports back to its front end. Every member may be empty.
struct RunCallbacks {
    std::function<void(const std::string&)> status;   // "Loading ...", "Processing ...", "Building ...", "All done!"
    std::function<void(int position, int maximum)> progress;
    std::function<void(const std::string&)> warning;  // something skipped; the run goes on
    std::function<bool()> stopRequested;              // polled between models; true ends the run early
    std::function<void(GameVersion, bool detected)> edition; // the edition in use, once the level is read
};

struct RunSummary {
    int modelsConverted = 0;
    int modelsSkipped = 0;
    int dictionaries = 0;
    int instancesWritten = 0;
    int warnings = 0;
    bool stopped = false;
    std::vector<WrittenFile> files; // every file written, in order, as the output sink recorded them
    std::filesystem::path reportFolder; // the run's report, when one was written
};

inline constexpr const char* kInvalidMapOffsetMessage = "Invalid Map XYZ offset";
inline constexpr const char* kAllDoneMessage = "All done!";

// One whole conversion: loads the level, converts every placed model and writes every output file.
// Throws VeldrinError (or the image core's error) with the user's message when the run fails.
RunSummary runConversion(const ConversionOptions& options, const RunCallbacks& callbacks);

// "Converted 3 model(s), 1 texture dictionary, 4 placement(s) into FOLDER": how both front ends sum up a run.
std::string convertedLine(const RunSummary& summary, const std::filesystem::path& levelFolder);

} // namespace veldrin
