#include <gtest/gtest.h>

#include "CliRunner.h"
#include "support/GameFolderBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

// The command's outcomes as a user meets them: the plan printed before the lines added and "All done!",
// a refusal with its figures or its reason (1), bad usage (2); the game folder unchanged whenever
// nothing was installed.
TEST(InstallProcess, PlanFirstThenTheLinesOrARefusal) {
    TempFolder dir("veldrin-install-cli");
    const fs::path lvz = buildLevel(sampleTown(GameVersion::LcsPsp)).write(dir.path(), "town");
    struct Row {
        const char* what;
        const char* options;
        int status;
        std::vector<const char*> says; // in this order
        bool installed;
    };
    const std::vector<Row> rows = {
        {"installs", "", 0, {"town   lcs-psp (detected)", "model ids (highest id + 1)", "Added to gta_vc.dat:", "IDE veldrin\\town.ide", "All done!"}, true},
        {"over a limit", "--id-offset 6490", 1, {"OVER by ", "Not installed:", "of 6,500 ("}, false},
        {"over, allowed", "--id-offset 6490 --allow-over-limits", 0, {"OVER by ", "All done!"}, true},
        {"another target", "--target sa", 1, {"disagrees with the game", "left as it was"}, false},
        {"check with sources", "--check", 2, {"--check takes the game folder alone"}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BuiltGameFolder game = buildGameFolder(dir / row.what, TargetGame::GtaVc);
        const auto before = folderSnapshot(game.root);
        const CliRun run = runCli("install '" + game.root.string() + "' '" + lvz.string() + "' -q " + row.options);
        EXPECT_EQ(run.status, row.status) << run.out;
        std::size_t at = 0;
        for (const char* text : row.says) {
            const std::size_t found = run.out.find(text, at);
            EXPECT_NE(found, std::string::npos) << text << " in\n" << run.out;
            if (found != std::string::npos) at = found;
        }
        EXPECT_EQ(folderSnapshot(game.root) != before, row.installed);
    }
}
