#include <gtest/gtest.h>

#include "base/Error.h"
#include "cli/CommandLine.h"

using namespace veldrin;
using namespace veldrin::cli;

namespace {
CliCommand parse(std::vector<std::string> args) { return parseCommandLine(args, 4); }

} // namespace

TEST(CliOptions, DefaultsFollowTheOptionsRecord) {
    const CliCommand c = parse({"convert", "levels/INDUST.lvz"});
    ASSERT_EQ(c.kind, CommandKind::Convert);
    const ConversionOptions& o = c.options;
    EXPECT_TRUE(o.editionAuto); // detected unless named
    EXPECT_EQ(o.targetGame, TargetGame::Gta3);
    EXPECT_EQ(o.dxtQuality, DxtQuality::Exact);
    EXPECT_EQ(o.txdMode, TxdMode::OneBigTxd);
    EXPECT_EQ(o.modelsPerTxd, 50);
    EXPECT_EQ(o.idOffset, 1000);
    EXPECT_EQ(o.mapOffset, MapOffset{});
    EXPECT_EQ(o.levelName, "indust");
    EXPECT_EQ(o.modelPrefix, "indust");
    EXPECT_EQ(o.lodPrefix(), "LODust");
    EXPECT_EQ(o.texturePrefix, "indust");
    EXPECT_EQ(o.imgPath, std::filesystem::path("levels/INDUST.IMG"));
    EXPECT_EQ(o.levelFolder(), std::filesystem::path("levels/indust"));
    EXPECT_EQ(o.prelightDayMinimum, 64);
    EXPECT_EQ(o.prelightNightMinimum, 16);
    EXPECT_EQ(o.mipSizeThreshold, MipMapThreshold::All);
    EXPECT_EQ(o.jobs, 4);
    EXPECT_FALSE(o.writeReport || o.generateIde || o.genBlankCol || o.genMipMaps || o.genNightPrelit || o.optimiseMesh || o.buildImg ||
                 o.useZon || o.forceMegaLods);
}

TEST(CliOptions, EveryOptionReachesTheRecord) {
    const CliCommand c = parse({"convert", "--out", "/tmp/o", "--edition=vcs-psp", "--target", "sa", "--txd", "group",
                                "--models-per-txd", "1", "--ide", "--id-offset", "0", "--map-offset=1.5,-2,3e2",
                                "--model-prefix=ab", "--texture-prefix=", "--blank-col", "--mipmaps",
                                "--mipmap-threshold", "64", "--night-prelight", "--day-min", "0", "--night-min=255",
                                "--optimise-mesh", "--img", "--zon", "MAP.ZON", "--island", "7", "--force-megalods",
                                "--jobs", "3", "--report", "--dxt-quality", "HIGH", " port .lvz"});
    const ConversionOptions& o = c.options;
    EXPECT_EQ(o.outputFolder, std::filesystem::path("/tmp/o"));
    EXPECT_EQ(o.edition, GameVersion::VcsPsp);
    EXPECT_FALSE(o.editionAuto);
    EXPECT_EQ(o.targetGame, TargetGame::GtaSa);
    EXPECT_TRUE(o.writeReport);
    EXPECT_EQ(o.dxtQuality, DxtQuality::High);
    EXPECT_TRUE(o.onePerModel());
    EXPECT_EQ(o.idOffset, 0);
    EXPECT_EQ(o.mapOffset.xyz, (std::array<float, 3>{1.5f, -2.0f, 300.0f}));
    EXPECT_EQ(o.modelPrefix, "ab");
    EXPECT_EQ(o.lodPrefix(), "LOD");
    EXPECT_EQ(o.texturePrefix, "");
    EXPECT_EQ(o.levelName, "port"); // blanks around the base name are trimmed
    EXPECT_EQ(o.mipSizeThreshold, MipMapThreshold::Over64);
    EXPECT_EQ(o.prelightDayMinimum, 0);
    EXPECT_EQ(o.prelightNightMinimum, 255);
    EXPECT_TRUE(o.genBlankCol && o.genMipMaps && o.genNightPrelit && o.optimiseMesh && o.buildImg && o.generateIde);
    EXPECT_TRUE(o.useZon && o.forceMegaLods);
    EXPECT_EQ(o.zonIsland, 7);
    EXPECT_EQ(o.jobs, 3);
}

TEST(CliOptions, MapOffsetThatIsNotThreeNumbersIsBadUsage) {
    // Refused in the window's words, before anything is read.
    for (const char* offset : {"--map-offset=1,5", "--map-offset=1,5,2,5,0", "--map-offset=inf,0,0", "--map-offset=,,",
                               "--map-offset=0,nan,0"}) {
        try {
            parse({"convert", "a.lvz", "--ide", offset});
            ADD_FAILURE() << offset << " was accepted";
        } catch (const UsageError& e) {
            EXPECT_EQ(e.message.rfind("Invalid Map XYZ offset (", 0), 0u) << e.message;
            EXPECT_EQ(e.command, "convert");
        }
    }
}

TEST(CliOptions, ValuesAreReadWithoutRegardToCase) {
    const ConversionOptions o =
        parse({"convert", "A.lvz", "--edition", "VCS-PSP", "--target", "SA", "--txd", "Group", "--mipmaps", "--mipmap-threshold", "ALL"})
            .options;
    EXPECT_EQ(o.edition, GameVersion::VcsPsp);
    EXPECT_FALSE(o.editionAuto);
    EXPECT_EQ(o.targetGame, TargetGame::GtaSa);
    EXPECT_EQ(o.txdMode, TxdMode::TxdPerGroup);
    EXPECT_EQ(o.mipSizeThreshold, MipMapThreshold::All);
    EXPECT_EQ(parse({"convert", "a.lvz", "-o", "x", "-j", "2"}).options.outputFolder, std::filesystem::path("x"));
}

TEST(CliOptions, BadUsageIsRefusedWithAReasonAndTheCommand) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
        const char* command;
    };
    const Case cases[] = {
        {{"convert"}, "level", "convert"},
        {{"convert", "a.lvz", "--edition", "ps3"}, "edition", "convert"},
        {{"convert", "a.lvz", "--target", "iv"}, "target", "convert"},
        {{"convert", "a.lvz", "--txd", "many"}, "TXD", "convert"},
        {{"convert", "a.lvz", "--models-per-txd", "0"}, "--models-per-txd", "convert"},
        {{"convert", "a.lvz", "--id-offset", "-1"}, "--id-offset", "convert"},
        {{"convert", "a.lvz", "--id-offset", "ab"}, "--id-offset", "convert"},
        {{"convert", "a.lvz", "--day-min", "256"}, "--day-min", "convert"},
        {{"convert", "a.lvz", "--mipmap-threshold", "8"}, "threshold", "convert"},
        // An option that refines another, given without it, names what it needs.
        {{"convert", "a.lvz", "--island", "2"}, "--island needs --zon", "convert"},
        {{"convert", "a.lvz", "--force-megalods"}, "--force-megalods needs --zon", "convert"},
        {{"convert", "a.lvz", "--txd", "one", "--models-per-txd", "5"}, "--models-per-txd needs --txd group", "convert"},
        {{"convert", "a.lvz", "--models-per-txd", "50"}, "--models-per-txd needs --txd group", "convert"},
        {{"convert", "a.lvz", "--id-offset", "5"}, "--id-offset needs --ide", "convert"},
        {{"convert", "a.lvz", "--map-offset=1,2,3"}, "--map-offset needs --ide", "convert"},
        {{"convert", "a.lvz", "--night-min", "5"}, "--night-min needs --night-prelight", "convert"},
        {{"convert", "a.lvz", "--mipmap-threshold", "16"}, "--mipmap-threshold needs --mipmaps", "convert"},
        {{"info", "a.lvz", "--island", "2"}, "--island needs --zon", "info"},
        {{"convert", "a.lvz", "--ide=yes"}, "ide", "convert"},
        {{"convert", "a.lvz", "--jobs"}, "jobs", "convert"},
        {{"info", "a.lvz", "b.lvz"}, "not expected: b.lvz", "info"},
        {{"convert", "a.lvz", "--frobnicate"}, "--frobnicate", "convert"},
        {{"info", "a.lvz", "--ide"}, "--ide", "info"},
        {{"colmap", "GAME.DTZ"}, "--img", "colmap"},
        {{"colmap", "GAME.DTZ", "--img", "G.IMG", "--edition", "lcs-ps3"}, "edition", "colmap"},
        {{"colmap", "GAME.DTZ", "--img", "G.IMG", "--map-offset=0,inf,0"}, "Global map offset Y error!", "colmap"},
        {{"col2", "a.col2", "--edition", "gta3"}, "edition", "col2"},
        {{"dump"}, "input", "dump"},
        {{"dump", "x.dat", "--id-offset", "x"}, "--id-offset", "dump"},
        {{"patch-vc"}, "exe", "patch-vc"},
        {{"patch-vc", "a.exe", "b.exe"}, "b.exe", "patch-vc"},
        {{"explode"}, "unknown command", ""},
        {{"convrt", "a.lvz"}, "did you mean \"convert\"", ""},
        {{"help", "colmp"}, "did you mean \"colmap\"", ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) joined += a + " ";
        try {
            parse(c.args);
            ADD_FAILURE() << joined << "was accepted";
        } catch (const UsageError& e) {
            EXPECT_NE(e.message.find(c.reason), std::string::npos) << joined << ": " << e.message;
            EXPECT_EQ(e.command, c.command) << joined;
        }
    }
}

TEST(CliOptions, SideToolsReachTheirRecords) {
    CliCommand c = parse({"colmap", "G.DTZ", "--img=G.IMG", "--edition", "VCS-PSP", "--target", "Vc", "--no-dynamic",
                          "--id-offset", "7", "--map-offset", "1,2,-3", "-o", "out"});
    ASSERT_EQ(c.kind, CommandKind::Colmap);
    EXPECT_EQ(c.colmap.options.edition, StoriesEdition::VCS);
    EXPECT_EQ(c.colmap.options.target, TargetGame::GtaVc);
    EXPECT_FALSE(c.colmap.options.dynamicObjects);
    EXPECT_TRUE(c.colmap.options.buildings && c.colmap.options.treadables);
    EXPECT_EQ(c.colmap.options.idOffset, 7);
    EXPECT_EQ(c.colmap.options.mapOffset, (std::array<double, 3>{1, 2, -3}));
    EXPECT_EQ(c.colmap.paths.img, std::filesystem::path("G.IMG"));
    EXPECT_EQ(c.colmap.paths.outputBase, std::filesystem::path("out"));

    // The convert spellings of an edition name the same game.
    for (const char* e : {"lcs", "LCS-PS2", "lcs-psp", "vcs", "vcs-ps2", "Vcs-Psp"}) {
        c = parse({"col2", "a.col2", "--edition", e});
        ASSERT_EQ(c.kind, CommandKind::Col2);
        EXPECT_EQ(c.col2.edition, std::tolower(e[0]) == 'v' ? StoriesEdition::VCS : StoriesEdition::LCS) << e;
    }
    c = parse({"dump", "GAME.DTZ", "--id-offset=5", "--level-name", "indust", "--out", "d"});
    ASSERT_EQ(c.kind, CommandKind::Dump);
    EXPECT_EQ(c.dump.options.idOffset, 5);
    EXPECT_EQ(c.dump.options.levelName, "indust");
    EXPECT_EQ(c.dump.outFolder, std::filesystem::path("d"));
    c = parse({"patch-vc", "--dry-run", "gta-vc.exe"});
    ASSERT_EQ(c.kind, CommandKind::PatchVc);
    EXPECT_TRUE(c.patchVc.dryRun);
    EXPECT_EQ(c.patchVc.exe, std::filesystem::path("gta-vc.exe"));
}

TEST(CliOptions, EveryCommandHelpDescribesEachOption) {
    struct Case {
        std::vector<std::string> args;
        std::vector<const char*> mentions;
    };
    const Case cases[] = {
        {{}, {"convert", "info", "colmap", "col2", "patch-vc", "dump", "help"}},
        {{"--help"}, {"convert", "info", "colmap", "col2", "patch-vc", "dump"}},
        {{"convert", "--help"},
         {"--out", "--edition", "--target", "--txd", "--models-per-txd", "--ide", "--id-offset", "--map-offset",
          "--model-prefix", "--texture-prefix", "--blank-col", "--mipmaps", "--mipmap-threshold", "--night-prelight",
          "--day-min", "--night-min", "--optimise-mesh", "--img", "--zon", "--island", "--force-megalods", "--jobs",
          "--quiet", "--verbose", "default 50", "sa only", "\"Use ZON\"", "Examples:"}},
        {{"convert", "-h", "a.lvz"}, {"--models-per-txd"}},
        {{"help", "convert"}, {"--models-per-txd"}},
        {{"info", "--help"}, {"info [OPTIONS] level\n", "--edition", "--report", "--zon", "--map-offset", "Examples:"}},
        {{"colmap", "-h"},
         {"--img", "--blank-dff", "--edition", "--target", "--no-buildings", "--no-dynamic", "--no-treadables",
          "--id-offset", "--map-offset", "--out", "Examples:"}},
        {{"col2", "--help"}, {"--edition", "--out", "lcs-ps2"}},
        {{"patch-vc", "--help"}, {"--dry-run", ".bak"}},
        {{"dump", "--help"}, {"--id-offset", "--level-name", "--out", "inflated"}},
        {{"--version"}, {"veldrin-cli 1."}},
    };
    for (const Case& c : cases) {
        const CliCommand cmd = parse(c.args);
        ASSERT_EQ(cmd.kind, CommandKind::Text) << (c.args.empty() ? "" : c.args[0]);
        for (const char* m : c.mentions) EXPECT_NE(cmd.text.find(m), std::string::npos) << m << " in\n" << cmd.text;
    }
}

TEST(CliOptions, NearestNameTakesOnlySlips) {
    const std::vector<std::string> names{"convert", "info", "colmap", "col2", "patch-vc", "dump"};
    EXPECT_EQ(nearestName("conver", names), "convert");
    EXPECT_EQ(nearestName("col", names), "col2");
    EXPECT_EQ(nearestName("patchvc", names), "patch-vc");
    EXPECT_EQ(nearestName("frobnicate", names), "");
}
