#include <gtest/gtest.h>

#include "base/Error.h"
#include "cli/CliOptions.h"

using namespace veldrin;
using namespace veldrin::cli;

namespace {
CliCommand parse(std::vector<std::string> args) { return parseCommandLine(args, 4); }

std::string usageMessage(std::vector<std::string> args) {
    try {
        parse(std::move(args));
    } catch (const UsageError& e) {
        return e.message;
    }
    return "";
}
} // namespace

TEST(CliOptions, DefaultsFollowTheOptionsRecord) {
    const CliCommand c = parse({"convert", "levels/INDUST.lvz"});
    ASSERT_EQ(c.kind, CommandKind::Convert);
    const ConversionOptions& o = c.options;
    EXPECT_EQ(o.gameVersion, GameVersion::LcsPs2);
    EXPECT_EQ(o.targetGame, TargetGame::Gta3);
    EXPECT_EQ(o.txdMode, TxdMode::OneBigTxd);
    EXPECT_EQ(o.modelsPerTxd, 50);
    EXPECT_EQ(o.idOffset, 1000);
    EXPECT_EQ(o.mapOffset, (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(o.levelName, "indust");
    EXPECT_EQ(o.modelPrefix, "indust");
    EXPECT_EQ(o.lodPrefix(), "LODust");
    EXPECT_EQ(o.texturePrefix, "indust");
    EXPECT_EQ(o.imgPath, std::filesystem::path("levels/INDUST.IMG"));
    EXPECT_EQ(o.levelFolder(), std::filesystem::path("levels/indust"));
    EXPECT_EQ(o.prelightDayMinimum, 64);
    EXPECT_EQ(o.prelightNightMinimum, 16);
    EXPECT_EQ(o.mipSizeThreshold, 0);
    EXPECT_EQ(o.jobs, 4);
    EXPECT_FALSE(o.generateIde || o.genBlankCol || o.genMipMaps || o.genNightPrelit || o.optimiseMesh || o.buildImg ||
                 o.useZon || o.forceMegaLods);
}

TEST(CliOptions, EveryOptionReachesTheRecord) {
    const CliCommand c = parse({"convert", "--out", "/tmp/o", "--edition=vcs-psp", "--target", "sa", "--txd", "group",
                                "--models-per-txd", "1", "--ide", "--id-offset", "0", "--map-offset=1.5,-2,3e2",
                                "--model-prefix=ab", "--texture-prefix=", "--blank-col", "--mipmaps",
                                "--mipmap-threshold", "64", "--night-prelight", "--day-min", "0", "--night-min=255",
                                "--optimise-mesh", "--img", "--zon", "MAP.ZON", "--island", "7", "--force-megalods",
                                "--jobs", "3", " port .lvz"});
    const ConversionOptions& o = c.options;
    EXPECT_EQ(o.outputFolder, std::filesystem::path("/tmp/o"));
    EXPECT_EQ(o.gameVersion, GameVersion::VcsPsp);
    EXPECT_EQ(o.targetGame, TargetGame::GtaSa);
    EXPECT_TRUE(o.onePerModel());
    EXPECT_EQ(o.idOffset, 0);
    EXPECT_EQ(o.mapOffset, (std::array<float, 3>{1.5f, -2.0f, 300.0f}));
    EXPECT_EQ(o.modelPrefix, "ab");
    EXPECT_EQ(o.lodPrefix(), "LOD");
    EXPECT_EQ(o.texturePrefix, "");
    EXPECT_EQ(o.levelName, "port"); // blanks around the base name are trimmed
    EXPECT_EQ(o.mipSizeThreshold, 65);
    EXPECT_EQ(o.prelightDayMinimum, 0);
    EXPECT_EQ(o.prelightNightMinimum, 255);
    EXPECT_TRUE(o.genBlankCol && o.genMipMaps && o.genNightPrelit && o.optimiseMesh && o.buildImg && o.generateIde);
    EXPECT_TRUE(o.useZon && o.forceMegaLods);
    EXPECT_EQ(o.zonIsland, 7);
    EXPECT_EQ(o.jobs, 3);
}

TEST(CliOptions, MapOffsetWithDecimalCommasIsLeftForTheRunToRefuse) {
    // Not three texts: the whole text is kept so the run refuses it with its own message.
    // Not three numbers: refused as the window refuses it, before anything is read.
    EXPECT_THROW(parse({"convert", "a.lvz", "--map-offset=1,5"}), VeldrinError);
    EXPECT_THROW(parse({"convert", "a.lvz", "--map-offset=1,5,2,5,0"}), VeldrinError);
    EXPECT_THROW(parse({"convert", "a.lvz", "--map-offset=inf,0,0"}), VeldrinError);
}

TEST(CliOptions, BadUsageIsRefusedWithAReason) {
    EXPECT_NE(usageMessage({"convert"}).find("no level"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--edition", "ps3"}).find("edition"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--target", "iv"}).find("target"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--txd", "many"}).find("TXD"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--models-per-txd", "0"}).find("--models-per-txd"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--id-offset", "-1"}).find("--id-offset"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--id-offset", "ab"}).find("--id-offset"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--day-min", "256"}).find("--day-min"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--mipmap-threshold", "8"}).find("threshold"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--island", "2"}).find("--zon"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--ide=yes"}).find("no value"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--jobs"}).find("needs a value"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "b.lvz"}).find("more than one"), std::string::npos);
    EXPECT_NE(usageMessage({"convert", "a.lvz", "--frobnicate"}).find("unknown option"), std::string::npos);
    EXPECT_NE(usageMessage({"info", "a.lvz", "--ide"}).find("info"), std::string::npos);
    EXPECT_NE(usageMessage({"explode"}).find("unknown command"), std::string::npos);
    EXPECT_EQ(parse({}).kind, CommandKind::Help);
}
