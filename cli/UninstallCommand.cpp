#include "cli/UninstallCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/install/InstallText.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "install/GameFolder.h"
#include "install/Uninstall.h"

namespace veldrin::cli {

CLI::App* addUninstallCommand(CLI::App& root, UninstallCommand& c) {
    CLI::App* cmd = root.add_subcommand("uninstall", "Remove what \"install\" put into a game folder");
    cmd->footer("Example:\n  veldrin-cli uninstall \"C:\\Games\\GTA Vice City\"\n"
                "Removes the files veldrin/install.json lists and the marked block of the game's data file; a file\n"
                "changed since the install is kept and named, and so is every other edit of the data file.\n");
    cmd->add_option("GAME_DIR", c.gameDir, "the game folder (the one with data/default.dat)")->option_text("FOLDER")->required();
    return cmd;
}

int runUninstallCommand(const UninstallCommand& cmd) {
    try {
        const install::GameFolder game = install::recogniseGameFolder(cmd.gameDir);
        const install::UninstallResult result = install::uninstall(game);
        std::printf("Removed %zu file(s) of the install from %s\n", result.removed.size(), cmd.gameDir.string().c_str());
        if (result.blockRemoved) std::printf("Removed the install's lines from %s\n", game.gameDataFile.string().c_str());
        if (!result.kept.empty())
            std::printf("Kept, because they were changed since the install (remove them yourself if you do not need them):%s\n",
                        indentedLines(result.kept).c_str());
        if (!result.keptBackups.empty())
            std::printf("Kept the backup of the data file from before the first install, as the data file was edited since:%s\n",
                        indentedLines(result.keptBackups).c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

int runInstallCheck(const std::filesystem::path& gameDir) {
    try {
        const install::GameFolder game = install::recogniseGameFolder(gameDir);
        const install::InstallStatus status = install::installStatus(game);
        if (!status.installed) {
            std::printf("No Veldrin install in %s (veldrin/install.json not found)\n", gameDir.string().c_str());
            return 1;
        }
        std::printf("%s", installText::checkText(status, game).c_str());
        return status.intact() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

} // namespace veldrin::cli
