#include <gtest/gtest.h>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/CollisionBuilder.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

bool endsWithLine(const std::string& text, const std::string& line) {
    return text.size() >= line.size() + 1 && text.compare(text.size() - line.size() - 1, line.size() + 1, line + "\n") == 0;
}


} // namespace

TEST(CollisionProcess, ColmapWritesTheMapAndRefusesWhatIsNotGameData) {
    TempFolder dir("veldrin-cli");
    TestDtz dtz;
    dtz.modelCount = 4;
    dtz.collisions = {{1, boxModel(2)}};
    TestDtzInstance inst;
    inst.model = 1;
    inst.position = {10, 20, 30};
    dtz.buildings.instances = {inst};
    writeWholeFile(dir / "GAME.DTZ", buildDtz(dtz, StoriesEdition::LCS));
    writeWholeFile(dir / "GAME.IMG", buildColImg({}));
    const std::string dtzArg = (dir / "GAME.DTZ").string(), imgArg = (dir / "GAME.IMG").string();

    CliRun r = runCli("colmap " + dtzArg + " --img " + imgArg + " --target vc");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(endsWithLine(r.out, "Done!")) << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "colmap" / "ColMap.col"));
    EXPECT_TRUE(std::filesystem::exists(dir / "colmap" / "ColMap.IPL"));

    writeWholeFile(dir / "bad.dtz", std::string("not zlib at all"));
    r = runCli("colmap " + (dir / "bad.dtz").string() + " --img " + imgArg + " --out " + (dir / "o").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "o" / "colmap" / "ColMap.col"));
    EXPECT_EQ(runCli("colmap " + dtzArg + " --target psp").status, 2);
}

TEST(CollisionProcess, Col2ConvertsAndRefusesFilesWithoutTheMagic) {
    TempFolder dir("veldrin-cli");
    writeWholeFile(dir / "a.col2", buildCol2({{0, boxModel(3)}}, StoriesEdition::VCS));
    CliRun r = runCli("col2 " + (dir / "a.col2").string() + " --edition vcs");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(endsWithLine(r.out, "Done!"));
    const auto col = readWholeFile(dir / "a.col2.col");
    ASSERT_GE(col.size(), 8u);
    EXPECT_EQ(std::string(col.begin(), col.begin() + 4), "COLL");

    writeWholeFile(dir / "b.col2", std::string("loc2 and more bytes than a header"));
    r = runCli("col2 " + (dir / "b.col2").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Invalid COL2 file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "b.col2.col"));
}
