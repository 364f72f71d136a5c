#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/install/InstallPlan.h"
#include "app/run/LevelRun.h"
#include "install/InstallCommit.h"

namespace veldrin {

struct InstallCallbacks {
    RunCallbacks run; // each level's run; stopRequested also stops the install, leaving the game as it was
    std::function<void(const std::string&)> step; // "Converting town (1 of 4)", "Building veldrin.img", ...
};

struct InstallResult {
    std::vector<install::DataLine> lines; // added to the game's data file, in the order the game reads them
    std::vector<std::string> files;       // written into the install folder
    int warnings = 0;
};

// Installs a plan that has no refusals: converts each level through the one level run (prepareLevel,
// convertLevel) with the plan's ids and names, and the collision map, into a staging folder of the game;
// packs every model and dictionary (and, for GTA SA, the collision files) into one archive, keeps the IDE,
// IPL files and (GTA 3, GTA VC) the one collision file beside it, and commits it all with the data-file lines. Throws
// VeldrinError, the game folder left as it was, when the plan is refused, a level fails or a stop is asked.
InstallResult runInstall(const InstallPlan& plan, const InstallCallbacks& callbacks,
                         const install::CommitProbe& probe = {});

} // namespace veldrin
