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
        const auto lvz = buildLevel(sampleTown(*parseGameVersion(e))).write(dir.path(), std::string("town-") + e);
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

TEST(CliProcess, FailuresExitWithOneAndUsageWithTwo) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    CliRun r = runCli("convert " + lvz.string() + " --map-offset=1,5");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.out).rfind("Invalid Map XYZ offset", 0), 0u) << r.out;
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
