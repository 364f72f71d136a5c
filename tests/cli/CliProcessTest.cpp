#include <gtest/gtest.h>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;


TEST(CliProcess, ConvertsEveryEditionAndEndsWithAllDone) {
    TempFolder dir("veldrin-cli");
    for (const char* e : {"lcs-ps2", "vcs-ps2", "lcs-psp", "vcs-psp"}) {
        const auto lvz = buildLevel(sampleTown(*parseEdition(e))).write(dir.path(), std::string("town-") + e);
        const CliRun r = runCli("convert " + lvz.string() + " --edition " + e + " --ide --target vc --jobs 2");
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(lastLine(r.out), "All done!");
        EXPECT_TRUE(std::filesystem::exists(dir.path() / (std::string("town-") + e) / (std::string("town-") + e + ".ipl")));
        const CliRun info = runCli("info " + lvz.string() + " --edition " + e);
        EXPECT_EQ(info.status, 0);
        EXPECT_NE(info.out.find("Resources: 63"), std::string::npos) << info.out;
        EXPECT_NE(info.out.find("pairs: 2"), std::string::npos) << info.out;
    }
}

// Without --edition the level's edition is detected and named; a named edition that another reads far
// better is refused before anything is written.
TEST(CliProcess, TheEditionIsDetectedUnlessNamedAndAWrongNameIsRefused) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::VcsPsp)).write(dir.path(), "town");
    // Options that do nothing for GTA 3 warn; the end of the run counts the warnings by kind, then names
    // the report, then says "All done!".
    CliRun r = runCli("convert " + lvz.string() + " --report --mipmaps --night-prelight");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\nEdition: VCS PSP (detected)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n2 warning(s)\n  2 x Options that do nothing\nReport: " +
                         (dir.path() / "town-report" / "index.html").string() + "\nAll done!"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "town-report" / "index.html"));

    r = runCli("info " + lvz.string());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("edition vcs-psp (detected)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("lcs-ps2"), std::string::npos) << r.out; // why each other edition does not fit

    std::filesystem::remove_all(dir.path() / "town");
    r = runCli("convert " + lvz.string() + " --edition lcs-ps2");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("use --edition vcs-psp"), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "town" / "town.ipl"));
}

// info --report draws the level before converting it; the map offset moves the map as it moves the IPL.
TEST(CliProcess, InfoReportDrawsTheLevelWithTheMapOffset) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    double minX[2];
    for (int moved : {0, 1}) {
        const auto folder = dir / (moved ? "moved" : "still");
        const CliRun r = runCli("info " + lvz.string() + " --report " + folder.string() + (moved ? " --map-offset=100,0,0" : ""));
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("Report: " + (folder / "index.html").string()), std::string::npos) << r.out;
        const std::vector<uint8_t> map = readWholeFile(folder / "map.json");
        const std::string text(map.begin(), map.end());
        minX[moved] = std::stod(text.substr(text.find("\"min_x\":") + 8));
    }
    EXPECT_DOUBLE_EQ(minX[1] - minX[0], 100.0);
    EXPECT_FALSE(std::filesystem::exists(dir / "town")); // nothing converted
}

TEST(CliProcess, FailuresExitWithOneAndUsageWithTwo) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    CliRun r = runCli("convert " + lvz.string() + " --ide --map-offset=nan,0,0");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("veldrin-cli: Invalid Map XYZ offset (X: \"nan\""), std::string::npos) << r.out;
    EXPECT_EQ(lastLine(r.out).rfind("usage: veldrin-cli convert", 0), 0u) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "town"));

    std::filesystem::remove(dir.path() / "town.IMG");
    r = runCli("convert " + lvz.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.out), (dir.path() / "town.IMG").string() + " not found");

    writeWholeFile(dir.path() / "junk.lvz", std::string("this is not a level"));
    writeWholeFile(dir.path() / "junk.IMG", std::string("nor this"));
    r = runCli("convert " + (dir.path() / "junk.lvz").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("not a valid zlib stream"), std::string::npos) << r.out;
    r = runCli("info " + (dir.path() / "junk.lvz").string());
    EXPECT_EQ(r.status, 1);

    r = runCli("convert " + lvz.string() + " --target n64");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("usage:"), std::string::npos);
}

TEST(CliProcess, AZoneFileWithoutAnIslandKeepsItsSmallestIsland) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    writeWholeFile(dir / "MAP.ZON", std::string("zone\n"
                                                "far, 0, -9000, -9000, -9000, -8000, -8000, -8000, 7\n"
                                                "all, 0, -9000, -9000, -9000, 9000, 9000, 9000, 5\n"
                                                "end\n"));
    writeWholeFile(dir / "BAD.ZON", std::string("zone\nbroken, 0, x\nend\n"));
    const std::string convert = "convert " + lvz.string() + " --ide -q ";

    CliRun r = runCli(convert + "--force-megalods --zon " + (dir / "MAP.ZON").string());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Kept the placements of island 5 of " + (dir / "MAP.ZON").string() +
                         " (the smallest island in the file)"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(lastLine(r.out), "All done!");
    const auto kept = readWholeFile(dir / "town" / "town.ipl");
    EXPECT_EQ(runCli(convert).status, 0);
    EXPECT_EQ(readWholeFile(dir / "town" / "town.ipl"), kept); // island 5 holds the whole town

    r = runCli(convert + "--zon " + (dir / "MAP.ZON").string() + " --island 7");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("island 7 of"), std::string::npos) << r.out;
    EXPECT_LT(readWholeFile(dir / "town" / "town.ipl").size(), kept.size());

    // A zone file that cannot be read ends the run instead of converting the whole level.
    std::filesystem::remove_all(dir / "town");
    for (const char* zon : {"NONE.ZON", "BAD.ZON"}) {
        r = runCli(convert + "--zon " + (dir / zon).string());
        EXPECT_EQ(r.status, 1) << zon;
        EXPECT_NE(lastLine(r.out).find(zon), std::string::npos) << r.out;
        EXPECT_FALSE(std::filesystem::exists(dir / "town")) << zon;
    }
}

TEST(CliProcess, QuietAndPipedOutputPrintStepsNotModels) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    struct Case {
        const char* option;
        bool steps;
        bool models;
    };
    for (const Case& c : {Case{"", true, false}, Case{" --verbose", true, true}, Case{" --quiet", false, false}}) {
        const CliRun r = runCli("convert " + lvz.string() + " --ide" + c.option);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(lastLine(r.out), "All done!");
        EXPECT_EQ(r.out.find("Loading town.lvz\n") != std::string::npos, c.steps) << c.option << r.out;
        EXPECT_EQ(r.out.find("Building town.ipl\n") != std::string::npos, c.steps) << c.option << r.out;
        EXPECT_EQ(r.out.find("Processing ") != std::string::npos, c.models) << c.option << r.out;
        EXPECT_NE(r.out.find("Converted "), std::string::npos) << c.option;
    }
}

// The test level maker writes only into the folder it is given: without one it names its usage (2) and
// leaves the folder it runs in as it was.
TEST(TestLevelProcess, WritesOnlyIntoTheFolderNamed) {
    TempFolder dir("veldrin-testlevel");
    const std::filesystem::path here = dir / "here";
    std::filesystem::create_directories(here);
    const std::string usage = "usage: veldrin-testlevel DIR [--name NAME]";
    struct Row {
        std::string args;
        int status;
        std::string says;
    };
    const Row rows[] = {
        {"", 2, usage},
        {"--name town --edition vcs-psp", 2, usage},
        {"--colmap", 2, usage},
        {dir.path().string() + " --name town", 0, (dir / "town.lvz").string()},
    };
    for (const Row& row : rows) {
        const CliRun r = runProgram("cd " + here.string() + " && " + VELDRIN_TESTLEVEL_PATH, row.args);
        EXPECT_EQ(r.status, row.status) << row.args << "\n" << r.out;
        EXPECT_EQ(lastLine(r.out).substr(0, row.says.size()), row.says) << row.args;
        EXPECT_TRUE(std::filesystem::is_empty(here)) << row.args;
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "town.lvz"));
}
