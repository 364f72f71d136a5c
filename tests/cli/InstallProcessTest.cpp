#include <gtest/gtest.h>

#include <functional>

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

// Before anything is converted: where the game folder cannot take an install the plan says why (1); a
// game folder argument that is none gets a hint (a path that does not exist, the game's data folder,
// the levels named first); "install" alone names GAME_DIR (2); install's own help for --map-offset. The
// game folder stays as it was.
TEST(InstallProcess, RefusalsAndHintsBeforeAnythingIsConverted) {
    TempFolder dir("veldrin-install-cli");
    const fs::path lvz = buildLevel(sampleTown(GameVersion::LcsPsp)).write(dir / "levels", "town");
    const BuiltGameFolder game = buildGameFolder(dir / "game", TargetGame::GtaVc);
    const auto quoted = [](const fs::path& p) { return "'" + p.string() + "' "; };
    struct Row {
        const char* what;
        std::string args;
        int status;
        std::string says;
        std::function<void()> prepare, undo;
    };
    const std::vector<Row> rows = {
        {"no such folder", quoted(dir / "gmae") + quoted(lvz), 1, "no such folder. Check the path", {}, {}},
        {"the data folder", quoted(game.gameDataFile.parent_path()) + quoted(lvz), 1, "Choose the folder above it: " + game.root.string(), {}, {}},
        {"levels first", quoted(lvz) + quoted(game.root), 1, "The arguments look swapped", {}, {}},
        {"folder of levels first", quoted(dir / "levels") + quoted(game.root), 1, "Name the game folder first", {}, {}},
        {"nothing", "", 2, "GAME_DIR is required", {}, {}},
        {"help", "--help", 0, "added to every placement of the levels", {}, {}},
        {"read-only data file", quoted(game.root) + quoted(lvz), 1, "is read-only; allow writing to it",
         [&] { fs::permissions(game.gameDataFile, fs::perms::owner_write, fs::perm_options::remove); },
         [&] { fs::permissions(game.gameDataFile, fs::perms::owner_write, fs::perm_options::add); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.prepare) row.prepare();
        const auto before = folderSnapshot(game.root);
        const CliRun run = runCli("install " + row.args);
        EXPECT_EQ(run.status, row.status) << run.out;
        EXPECT_NE(run.out.find(row.says), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Converting"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("with --ide"), std::string::npos) << run.out;
        EXPECT_EQ(folderSnapshot(game.root), before);
        if (row.undo) row.undo();
    }
}
