#include "install/InstallChecks.h"

#include <unistd.h>

#include "internal/GameFiles.h"
#include "internal/InstallTexts.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

// The owner's write bit, and whether this process may open the file for writing (a file of another
// user, or one on a read-only mount, has the bit and still cannot be written).
bool mayWrite(const fs::path& file) { return ownerMayWrite(file) && ::access(file.c_str(), W_OK) == 0; }

// The earlier install's files changed since it was made.
std::vector<std::string> changedFiles(const InstallStatus& earlier) {
    std::vector<std::string> changed;
    for (const RecordedFile& file : earlier.files)
        if (file.state == FileState::Changed) changed.push_back(file.path);
    return changed;
}

} // namespace

std::vector<std::string> checkGameFolderForInstall(const GameFolder& game, const InstallStatus& earlier) {
    std::vector<std::string> refusals;
    if (!mayWrite(game.gameDataFile)) refusals.push_back(texts::readOnlyDataFile(game.gameDataFile));
    // TO MERGE: lines naming veldrin\ files outside a complete marked block (strayInstallLines of
    // internal/DataFileText.h, coming on main) are refused here with texts::strayInstallLines.
    const fs::path folder = installFolder(game);
    std::error_code error;
    if (fs::exists(folder, error)) {
        if (!earlier.installed) refusals.push_back(texts::foreignInstallFolder(folder));
        else if (const std::vector<std::string> changed = changedFiles(earlier); !changed.empty())
            refusals.push_back(texts::changedSinceInstall(changed));
    }
    return refusals;
}

} // namespace veldrin::install
