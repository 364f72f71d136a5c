#include <gtest/gtest.h>

#include <fstream>

#include "base/Error.h"
#include "install/GameContent.h"
#include "install/InstallCommit.h"
#include "install/Uninstall.h"
#include "internal/DataFileText.h"
#include "support/GameFolderBuilder.h"
#include "support/TempFolder.h"
#include "Refusal.h"
#include "StagedInstall.h"

namespace veldrin::install {
namespace {

constexpr TargetGame kTargets[] = {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa};

TEST(InstallCommit, InstallThenUninstallLeavesTheFolderByteForByte) {
    for (TargetGame target : kTargets) {
        SCOPED_TRACE(std::string(targetGameName(target)));
        Game g(target);
        const Snapshot before = g.snapshot();
        commitInstall(g.game, stageLevel(g.game), {});

        // Every line of the block names a file that is there, in the order the game reads them.
        const std::optional<std::vector<std::string>> lines = blockLines(readText(g.game.gameDataFile));
        ASSERT_TRUE(lines.has_value());
        const std::string archive = target == TargetGame::GtaSa ? "IMG " : "CDIMAGE ";
        EXPECT_EQ(*lines, (std::vector<std::string>{archive + "veldrin\\veldrin.img", "IDE veldrin\\town\\town.ide",
                                                    "COLFILE 0 veldrin\\town\\town.col", "IPL veldrin\\town\\town.ipl"}));
        for (const std::string& line : *lines) {
            std::string path = line.substr(line.rfind(' ') + 1);
            std::replace(path.begin(), path.end(), '\\', '/');
            EXPECT_TRUE(fs::is_regular_file(g.folder / path)) << line;
        }
        const InstallStatus status = installStatus(g.game);
        EXPECT_TRUE(status.intact());
        EXPECT_EQ(status.files.size(), 5u);
        EXPECT_EQ(status.details["levels"][0], "town");
        EXPECT_TRUE(fs::exists(g.game.gameDataFile.string() + ".veldrin-backup"));

        const UninstallResult result = uninstall(g.game);
        EXPECT_EQ(result.removed.size(), 5u);
        EXPECT_TRUE(result.kept.empty());
        EXPECT_TRUE(result.blockRemoved);
        EXPECT_EQ(g.snapshot(), before);
        EXPECT_FALSE(installStatus(g.game).installed);
    }
}

TEST(InstallCommit, InstallingTwiceIsInstallingOnce) {
    Game once(TargetGame::GtaVc);
    commitInstall(once.game, stageLevel(once.game), {});
    Game twice(TargetGame::GtaVc);
    commitInstall(twice.game, stageLevel(twice.game, "other"), {});
    commitInstall(twice.game, stageLevel(twice.game), {});
    EXPECT_EQ(twice.snapshot(), once.snapshot());
}

TEST(InstallCommit, FailureOrStopAtEachStepLeavesTheFolderAsItWas) {
    const CommitStep steps[] = {CommitStep::CheckStaging, CommitStep::WriteRecord, CommitStep::BackUpDataFile,
                                CommitStep::MoveAside,    CommitStep::MoveIn,      CommitStep::EditDataFile,
                                CommitStep::Finish};
    for (bool earlierInstall : {false, true}) {
        for (CommitStep failing : steps) {
            for (bool stop : {false, true}) {
                SCOPED_TRACE("step " + std::to_string(int(failing)) + (stop ? " stop" : " failure") + (earlierInstall ? " over an install" : ""));
                Game g(TargetGame::GtaSa);
                if (earlierInstall) commitInstall(g.game, stageLevel(g.game, "old"), {});
                const Snapshot before = g.snapshot();
                CommitStep reached = CommitStep::CheckStaging;
                const CommitProbe probe = [&](CommitStep s) {
                    reached = s;
                    if (!stop && s == failing) throw std::runtime_error("disk full");
                };
                const auto stopRequested = [&] { return stop && reached == failing; };
                try {
                    // The stop is asked before the probe of each step: it sees the step before `failing`
                    // reached, so it fires on the step after; the probe's failure fires on `failing` itself.
                    commitInstall(g.game, stageLevel(g.game), stopRequested, probe);
                    if (!(stop && failing == CommitStep::Finish)) ADD_FAILURE() << "the commit went through";
                    continue;
                } catch (const VeldrinError& e) {
                    const std::string message = e.what();
                    EXPECT_NE(message.find("left as it was"), std::string::npos) << message;
                    EXPECT_NE(message.find(stop ? "stopped" : "disk full"), std::string::npos) << message;
                }
                EXPECT_EQ(g.snapshot(), before);
            }
        }
    }
}

TEST(InstallCommit, WhatAKilledInstallLeftIsTidiedByTheNextInstallOrUninstall) {
    Game g(TargetGame::GtaVc);
    const Snapshot before = g.snapshot();
    // No process has this id (above any system's largest), as after a kill.
    writeText(g.folder / ".veldrin-staging-999999999-0/veldrin.img", "half written");
    commitInstall(g.game, stageLevel(g.game), {});
    EXPECT_FALSE(fs::exists(g.folder / ".veldrin-staging-999999999-0"));
    // Killed after moving the earlier install aside: it goes back into place, then uninstall removes it.
    fs::rename(g.folder / "veldrin", g.folder / ".veldrin-replaced-999999999");
    uninstall(g.game);
    EXPECT_EQ(g.snapshot(), before);
}

TEST(InstallCommit, GameFolderGivenWithATrailingSlashInstallsAlike) {
    Game g(TargetGame::GtaSa);
    const Snapshot before = g.snapshot();
    const GameFolder slashed = recogniseGameFolder(g.folder.path().string() + "/");
    commitInstall(slashed, stageLevel(slashed), {});
    EXPECT_TRUE(installStatus(g.game).intact());
    uninstall(slashed);
    EXPECT_EQ(g.snapshot(), before);
}

TEST(InstallCommit, ReadOnlyDataFileIsRefusedAndNothingChanges) {
    Game g(TargetGame::Gta3);
    fs::permissions(g.game.gameDataFile, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    const Snapshot before = g.snapshot();
    const std::string refusal = refusalOf([&] { commitInstall(g.game, stageLevel(g.game), {}); });
    EXPECT_NE(refusal.find("read-only"), std::string::npos) << refusal;
    EXPECT_EQ(g.snapshot(), before);
    // Uninstall refuses it too, before it removes anything.
    fs::permissions(g.game.gameDataFile, fs::perms::owner_write, fs::perm_options::add);
    commitInstall(g.game, stageLevel(g.game), {});
    fs::permissions(g.game.gameDataFile, fs::perms::owner_write, fs::perm_options::remove);
    const Snapshot installed = g.snapshot();
    EXPECT_NE(refusalOf([&] { uninstall(g.game); }).find("read-only"), std::string::npos);
    EXPECT_EQ(g.snapshot(), installed);
}

TEST(InstallCommit, RefusesLinesThatDoNotNameAStagedFileOfTheInstallFolder) {
    const std::vector<DataLine> bad[] = {
        {{"IDE", "veldrin\\missing.ide"}},
        {{"IDE", "data\\maps\\generic.ide"}},
        {{"IDE", "veldrin\\..\\data\\default.ide"}},
        {{"IDE", "veldrin/town/town.ide"}},
        {{"TEXDICTION", "veldrin\\veldrin.img"}},
    };
    for (const std::vector<DataLine>& lines : bad) {
        Game g(TargetGame::Gta3);
        const Snapshot before = g.snapshot();
        StagedInstall staged = stageLevel(g.game);
        staged.lines = lines;
        EXPECT_THROW(commitInstall(g.game, staged, {}), VeldrinError) << lines[0].path;
        EXPECT_EQ(g.snapshot(), before) << lines[0].path;
    }
}

TEST(Uninstall, KeepsAndNamesFilesChangedSinceAndTheUsersDataFileEdits) {
    Game g(TargetGame::GtaVc);
    const std::string original = readText(g.game.gameDataFile);
    commitInstall(g.game, stageLevel(g.game), {});
    writeText(g.folder / "veldrin/town/town.ipl", "inst\r\nend\r\n");
    fs::remove(g.folder / "veldrin/town/town.col");
    std::ofstream(g.game.gameDataFile, std::ios::binary | std::ios::app) << "IDE DATA\\MAPS\\MYMOD.IDE\r\n";

    const InstallStatus status = installStatus(g.game);
    EXPECT_FALSE(status.intact());
    EXPECT_TRUE(status.blockAsWritten);
    int changed = 0, missing = 0;
    for (const RecordedFile& f : status.files) {
        changed += f.state == FileState::Changed;
        missing += f.state == FileState::Missing;
    }
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(missing, 1);

    const UninstallResult result = uninstall(g.game);
    EXPECT_EQ(result.kept, std::vector<std::string>{"veldrin/town/town.ipl"});
    EXPECT_TRUE(fs::exists(g.folder / "veldrin/town/town.ipl"));
    EXPECT_FALSE(fs::exists(g.folder / "veldrin/veldrin.img"));
    EXPECT_EQ(readText(g.game.gameDataFile), original + "IDE DATA\\MAPS\\MYMOD.IDE\r\n");
    // The first install's backup stays while the data file differs from it.
    EXPECT_EQ(readText(g.game.gameDataFile.string() + ".veldrin-backup"), original);
}

TEST(InstallCommit, RefusesToReplaceAnInstallWhoseFilesWereChanged) {
    Game g(TargetGame::Gta3);
    commitInstall(g.game, stageLevel(g.game), {});
    writeText(g.folder / "veldrin/town/town.ide", "objs\r\nend\r\n");
    const Snapshot before = g.snapshot();
    const std::string refusal = refusalOf([&] { commitInstall(g.game, stageLevel(g.game), {}); });
    EXPECT_NE(refusal.find("veldrin/town/town.ide"), std::string::npos) << refusal;
    EXPECT_EQ(g.snapshot(), before);
}

TEST(Uninstall, TakesTheBlockOutWhenTheInstallFolderWasRemovedByHand) {
    Game g(TargetGame::Gta3);
    const Snapshot before = g.snapshot();
    commitInstall(g.game, stageLevel(g.game), {});
    fs::remove_all(g.folder / "veldrin");
    const UninstallResult result = uninstall(g.game);
    EXPECT_TRUE(result.blockRemoved);
    EXPECT_TRUE(result.removed.empty());
    EXPECT_EQ(g.snapshot(), before);
}

TEST(Uninstall, RefusesAFolderWithoutAnInstallAndARecordReachingOutside) {
    Game g(TargetGame::GtaSa);
    EXPECT_THROW(uninstall(g.game), VeldrinError);
    commitInstall(g.game, stageLevel(g.game), {});
    std::string record = readText(g.folder / "veldrin/install.json");
    const std::size_t at = record.find("veldrin/town/town.ide");
    record.replace(at, std::string("veldrin/town/town.ide").size(), "veldrin/../data/default.dat");
    writeText(g.folder / "veldrin/install.json", record);
    const Snapshot before = g.snapshot();
    EXPECT_THROW(uninstall(g.game), VeldrinError);
    EXPECT_EQ(g.snapshot(), before);
}

} // namespace
} // namespace veldrin::install
