#pragma once
#include <string>
#include <vector>

#include "app/run/LevelRun.h"
#include "cli/Progress.h"

namespace veldrin::cli {

// How the command line watches a level run: status and progress on the terminal's progress line,
// warnings there and kept for the count at the end, the edition line, Ctrl-C as a stop request.
struct RunWatcher {
    explicit RunWatcher(Verbosity verbosity) : progress(stderr, verbosity) {}
    RunCallbacks callbacks();

    TerminalProgress progress;
    std::vector<RunWarning> warnings;
    std::string editionLine; // "Edition: VCS PSP (detected)", once the level is read
};

} // namespace veldrin::cli
