#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// The first id the plan printed for a level: its line "NAME  EDITION [(detected)]  ID".
std::string plannedFirstId(const std::string& out, const std::string& level) {
    std::smatch m;
    const std::regex line("(^|\\n)" + level + " +[a-z0-9-]+(?: \\(detected\\))? +([0-9]+)");
    return std::regex_search(out, m, line) ? m[2].str() : std::string();
}

} // namespace

// A folder in one convert: a damaged level in the middle fails with its message and the others convert,
// each to exactly the bytes of a run of that level alone at the first id the plan printed; the exit
// status is 1 and the final table names the failed level.
TEST(BatchProcess, FolderConvertsEachLevelAsAloneAndGoesOnPastADamagedOne) {
    TempFolder in("veldrin-cli-batch"), out("veldrin-cli-batch"), alone("veldrin-cli-batch");
    SampleShape small;
    small.models = 8;
    small.instances = 16;
    buildLevel(sampleTown(GameVersion::LcsPs2, small)).write(in.path(), "alpha");
    writeWholeFile(in / "beta.lvz", std::string("this is not a level"));
    writeWholeFile(in / "beta.IMG", std::string("nor this"));
    buildLevel(sampleTown(GameVersion::LcsPs2, small)).write(in.path(), "gamma");
    fs::rename(in / "gamma.lvz", in / "gamma.LVZ");

    const CliRun r = runCli("convert " + in.path().string() + " --ide --id-offset 500 --txd group --jobs 2 --report --mipmaps --out " +
                            out.path().string());
    EXPECT_EQ(r.status, 1) << r.out;
    // Mip-maps do nothing for GTA 3: each converted level warns once, counted by kind under the table.
    EXPECT_NE(r.out.find("\n  2 x Options that do nothing\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nReport: " + (out / "batch-report.html").string() + "\n"), std::string::npos) << r.out;
    EXPECT_TRUE(std::filesystem::exists(out / "batch-report.html"));
    EXPECT_NE(r.out.find("beta failed: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nbeta "), std::string::npos);
    const std::string table = r.out.substr(r.out.rfind("Level "));
    EXPECT_TRUE(std::regex_search(table, std::regex("\\nbeta +lcs-ps2 .* failed: "))) << table;
    EXPECT_EQ(lastLine(r.out), "1 of 3 level(s) not converted");

    struct Row {
        const char* level;
        const char* lvz;
    };
    for (const Row row : {Row{"alpha", "alpha.lvz"}, Row{"gamma", "gamma.LVZ"}}) {
        SCOPED_TRACE(row.level);
        const std::string first = plannedFirstId(r.out, row.level);
        ASSERT_FALSE(first.empty()) << r.out;
        const CliRun single = runCli("convert " + (in / row.lvz).string() + " --ide --id-offset " + first +
                                     " --txd group --out " + alone.path().string());
        ASSERT_EQ(single.status, 0) << single.out;
        EXPECT_EQ(filesUnder(out / row.level), filesUnder(alone / row.level));
    }
    EXPECT_EQ(plannedFirstId(r.out, "alpha"), "500");
}

// Files of an earlier run: one warning line without --clean, none with it; the folder's neighbours stay.
TEST(BatchProcess, StaleFilesWarnAndCleanRemovesOnlyTheLevelFolder) {
    TempFolder dir("veldrin-cli-batch");
    SampleShape small;
    small.models = 4;
    small.instances = 8;
    const fs::path lvz = buildLevel(sampleTown(GameVersion::LcsPs2, small)).write(dir.path(), "town");
    ASSERT_EQ(runCli("convert " + lvz.string() + " --txd group --models-per-txd 1").status, 0);
    writeWholeFile(dir / "neighbour.txt", std::string("keep"));
    for (const bool clean : {false, true}) {
        SCOPED_TRACE(clean);
        const CliRun r = runCli("convert " + lvz.string() + " --img" + (clean ? " --clean" : ""));
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out.find("this run did not write") != std::string::npos, !clean) << r.out;
        const auto files = filesUnder(dir / "town");
        const bool looseModels = std::any_of(files.begin(), files.end(), [](const auto& f) { return f.first.ends_with(".dff"); });
        EXPECT_EQ(looseModels, !clean);
        EXPECT_TRUE(fs::exists(dir / "neighbour.txt"));
        EXPECT_TRUE(fs::exists(lvz));
    }
}

// One level at a time and levels side by side plan the same ids and names, print the same lines in the
// same order (each level's steps and warnings together), end with the same status and write the same
// files; a level that fails in the plan or while converting stops no other.
TEST(BatchProcess, LevelsSideBySidePrintAndWriteWhatOneAtATimeDoes) {
    TempFolder in("veldrin-cli-batch"), out("veldrin-cli-batch");
    SampleShape small;
    small.models = 12;
    small.instances = 20;
    for (const char* name : {"bar", "bay", "cove", "dock"}) buildLevel(sampleTown(GameVersion::VcsPs2, small)).write(in.path(), name);
    writeWholeFile(in / "broken.lvz", std::string("this is not a level"));
    writeWholeFile(in / "broken.IMG", std::string("nor this"));
    const fs::path err = out / "err.txt", levels = out / "levels";
    std::string firstOut, firstErr;
    std::map<std::string, std::vector<uint8_t>> firstFiles;
    for (const char* jobs : {"1", "2", "3"}) {
        SCOPED_TRACE(jobs);
        fs::remove_all(levels);
        fs::create_directories(levels);
        writeWholeFile(levels / "cove", std::string("a file where the level folder goes"));
        const CliRun r = runCli("convert " + in.path().string() + " --ide --img --txd one --target vc --mipmaps --jobs " +
                                    jobs + " --out " + levels.string(),
                                err);
        const std::vector<uint8_t> errBytes = readWholeFile(err);
        const std::string errText(errBytes.begin(), errBytes.end());
        EXPECT_EQ(lastLine(r.out), "2 of 5 level(s) not converted") << r.out << errText;
        if (firstOut.empty()) {
            firstOut = r.out, firstErr = errText, firstFiles = filesUnder(levels);
            EXPECT_TRUE(fs::exists(levels / "dock" / "dock.ide"));
            EXPECT_NE(errText.find("warning: "), std::string::npos) << errText; // bar and bay share names
            continue;
        }
        EXPECT_EQ(r.out, firstOut);
        EXPECT_EQ(errText, firstErr);
        EXPECT_TRUE(filesUnder(levels) == firstFiles);
    }
}
