#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/wait.h>

#include "cli/UninstallCommand.h"
#include "install/InstallCommit.h"
#include "support/GameFolderBuilder.h"
#include "support/TempFolder.h"

namespace veldrin::install {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun runCli(const std::string& args) {
    CliRun run;
    FILE* pipe = popen((std::string(VELDRIN_CLI_PATH) + " " + args + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(UninstallCommand, ChecksThenUninstallsAndSaysWhatItDid) {
    test::TempFolder folder("game");
    test::buildGameFolder(folder.path(), TargetGame::Gta3);
    const auto before = test::folderSnapshot(folder.path());
    const std::string quoted = "'" + folder.path().string() + "'";

    EXPECT_EQ(cli::runInstallCheck(folder.path()), 1) << "no install yet";
    const CliRun none = runCli("uninstall " + quoted);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find("no Veldrin install"), std::string::npos) << none.out;

    const GameFolder game = recogniseGameFolder(folder.path());
    const fs::path staging = makeStagingFolder(game);
    std::ofstream(staging / "town.ide", std::ios::binary) << "objs\r\n4000, town1, town, 1, 100, 0\r\nend\r\n";
    std::ofstream(staging / "town.ipl", std::ios::binary) << "inst\r\nend\r\n";
    commitInstall(game, {staging, {{"IDE", "veldrin\\town.ide"}, {"IPL", "veldrin\\town.ipl"}}, {}}, {});
    EXPECT_EQ(cli::runInstallCheck(folder.path()), 0);
    std::ofstream(folder / "veldrin/town.ipl", std::ios::binary | std::ios::app) << "# mine\r\n";
    EXPECT_EQ(cli::runInstallCheck(folder.path()), 1) << "a changed file";

    const CliRun run = runCli("uninstall " + quoted);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Removed 1 file(s)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("veldrin/town.ipl"), std::string::npos) << run.out;
    fs::remove_all(folder / "veldrin");
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

} // namespace
} // namespace veldrin::install
