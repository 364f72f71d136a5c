#include "install/InstallCommit.h"

#include "base/Error.h"

namespace veldrin::install {

std::filesystem::path makeStagingFolder(const GameFolder& game) {
    const auto path = installFolder(game).parent_path() / ".veldrin-staging";
    std::filesystem::create_directories(path);
    return path;
}

void commitInstall(const GameFolder&, StagedInstall, const std::function<bool()>&, const CommitProbe&) {
    throw VeldrinError("install: not written yet");
}

} // namespace veldrin::install
