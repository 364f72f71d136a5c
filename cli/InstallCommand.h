#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/install/InstallPlan.h"
#include "cli/ConvertOptions.h"

namespace CLI {
class App;
}

namespace veldrin::cli {

// veldrin-cli install GAME_DIR SOURCE... [options] | install --check GAME_DIR
struct InstallCommand {
    std::filesystem::path gameDir;
    std::vector<std::string> sources;
    ConvertRequest convert; // the conversion options an install takes, and which were given
    std::optional<StoriesEdition> colMapGame;
    bool allowOverLimits = false;
    bool check = false;
};

CLI::App* addInstallCommand(CLI::App& root, InstallCommand& cmd, int defaultJobs);

// The request the command stands for; throws UsageError for options an install cannot take.
InstallRequest installRequest(const InstallCommand& cmd);

// Prints the plan, refuses it with its reasons (exit 1) or installs (0); Ctrl-C leaves the game folder
// as it was (130). With --check: what is installed and whether it is as written.
int runInstallCommand(const InstallCommand& cmd);

} // namespace veldrin::cli
