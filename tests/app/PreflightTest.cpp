#include "app/run/Preflight.h"

#include <gtest/gtest.h>

#include "RunFixture.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

namespace veldrin::test {
namespace {

namespace fs = std::filesystem;

TEST(Preflight, InputFilesThatCannotBeRead) {
    TempFolder dir("veldrin-preflight");
    const fs::path lvz = dir / "town.lvz", img = dir / "town.IMG", zon = dir / "MAP.ZON";
    enum class Make { File, Empty, Folder, Nothing };
    auto make = [](const fs::path& p, Make m) {
        std::error_code ec;
        fs::remove_all(p, ec);
        if (m == Make::File) writeWholeFile(p, std::string_view("x"));
        if (m == Make::Empty) writeWholeFile(p, std::string_view());
        if (m == Make::Folder) fs::create_directory(p);
    };
    struct Case {
        Make lvz, img, zon;
        std::vector<std::string> refusals;
    };
    const Case cases[] = {
        {Make::File, Make::File, Make::File, {}},
        {Make::Nothing, Make::Nothing, Make::File, {lvz.string() + ": no such file"}}, // the LVZ, not its IMG
        {Make::Folder, Make::File, Make::File, {lvz.string() + ": is a folder"}},
        {Make::Empty, Make::File, Make::File, {lvz.string() + ": is empty"}},
        {Make::File, Make::Nothing, Make::File, {img.string() + " not found"}},
        {Make::File, Make::Folder, Make::Folder, {img.string() + ": is a folder", zon.string() + ": is a folder"}},
        {Make::File, Make::Empty, Make::Nothing, {img.string() + ": is empty", zon.string() + ": no such file"}},
    };
    ConversionOptions o;
    applyLevelPick(o, lvz);
    o.useZon = true;
    o.zonPath = zon;
    for (const Case& c : cases) {
        make(lvz, c.lvz);
        make(img, c.img);
        make(zon, c.zon);
        EXPECT_EQ(checkInputFiles(o), c.refusals);
    }
}

TEST(Preflight, ReadingAFolderOrAMissingFileIsRefusedWithItsName) {
    TempFolder dir("veldrin-preflight");
    for (const auto& [path, message] : {std::pair{dir.path(), dir.path().string() + ": is a folder"},
                                        std::pair{dir / "GAME.DTZ", (dir / "GAME.DTZ").string() + ": no such file"}}) {
        try {
            readWholeFile(path);
            ADD_FAILURE() << path;
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(Preflight, OutputFolderThatCannotBeMade) {
    TempFolder dir("veldrin-preflight");
    writeWholeFile(dir / "plain", std::string_view("x"));
    struct Case {
        fs::path folder;
        std::string problemStart; // empty: no problem
    };
    const Case cases[] = {
        {dir.path(), ""},
        {dir / "new" / "town", ""},
        {dir / "plain", "cannot create the output folder " + (dir / "plain").string() + ": "},
        {dir / "plain" / "town", "cannot create the output folder " + (dir / "plain" / "town").string() + ": "},
        {"/proc/veldrin-out/town", "cannot create the output folder /proc/veldrin-out/town in /proc: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.string());
        const auto problem = outputFolderProblem(c.folder);
        if (c.problemStart.empty()) {
            EXPECT_FALSE(problem) << *problem;
        } else {
            ASSERT_TRUE(problem);
            EXPECT_EQ(problem->rfind(c.problemStart, 0), 0u) << *problem;
        }
    }
    // Looking leaves nothing behind: no folder made, no probe file left.
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"plain"});
}

TEST(Preflight, OptionsThatDoNothingForTheTarget) {
    struct Case {
        TargetGame target;
        bool mipMaps, night;
        MipMapThreshold threshold;
        DxtQuality quality;
        std::vector<std::string> warnings;
    };
    const std::string mip = "mip-maps are made for GTA VC and GTA SA only: the mip-map option does nothing for GTA 3";
    const std::string night = "night prelight is written for GTA SA only: the night prelight option does nothing for ";
    const std::string dxt = "block compression is used for GTA VC and GTA SA only: the block compression quality option "
                            "does nothing for GTA 3";
    using T = MipMapThreshold;
    const Case cases[] = {
        {TargetGame::GtaSa, true, true, T::Over64, DxtQuality::High, {}},
        {TargetGame::GtaVc, true, false, T::Over32, DxtQuality::Exact, {}},
        {TargetGame::Gta3, false, false, T::All, DxtQuality::Exact, {}},
        {TargetGame::Gta3, true, false, T::All, DxtQuality::Exact, {mip}},
        {TargetGame::Gta3, true, true, T::Over16, DxtQuality::High, {mip, dxt, night + "GTA 3"}},
        {TargetGame::GtaVc, false, true, T::All, DxtQuality::High, {night + "GTA VC"}},
        // A refinement whose option is off is a setting kept for later (the window's dialogs), not a warning.
        {TargetGame::GtaSa, false, false, T::Over16, DxtQuality::Exact, {}},
        {TargetGame::Gta3, false, true, T::Over128, DxtQuality::Exact, {night + "GTA 3"}},
    };
    for (const Case& c : cases) {
        ConversionOptions o;
        o.targetGame = c.target;
        o.genMipMaps = c.mipMaps;
        o.genNightPrelit = c.night;
        o.mipSizeThreshold = c.threshold;
        o.dxtQuality = c.quality;
        o.prelightDayMinimum = 0; // refines the night prelight: never named on its own
        EXPECT_EQ(idleOptionWarnings(o), c.warnings) << targetGameName(c.target);
    }
}

TEST(Preflight, IslandFilterThatKeepsNothing) {
    auto zone = [](int island) { return ZoneEntry{static_cast<uint8_t>(island), "Z", {0, 0, 0}, {1, 1, 1}}; };
    struct Case {
        ZoneTable zones;
        int island;
        std::optional<std::string> warning;
    };
    const std::string head = "MAP.ZON has no zone on island 3, so the island filter keeps no instance (";
    const Case cases[] = {
        {{zone(1), zone(3)}, 3, std::nullopt},
        {{zone(2), zone(1), zone(2)}, 3, head + "the file has islands 1 and 2)"},
        {{zone(4), zone(1), zone(2)}, 3, head + "the file has islands 1, 2 and 4)"},
        {{zone(1)}, 3, head + "the file has island 1)"},
        {{}, 3, head + "the file has no zones)"},
    };
    for (const Case& c : cases) EXPECT_EQ(emptyIslandWarning(c.zones, c.island, "MAP.ZON"), c.warning);
}

TEST(Preflight, FileNamesTooLongForAnArchiveEntry) {
    const std::string fits(20, 'm'), over(21, 'n');
    struct Case {
        bool buildImg;
        std::vector<std::string> names;
        std::optional<std::string> warning;
    };
    const std::string tail = "\", will not fit a 24-byte IMG archive entry; choose a shorter model prefix "
                             "(--model-prefix) to put them in an IMG later";
    const Case cases[] = {
        {false, {fits + ".dff", fits + ".TXD"}, std::nullopt},
        {false, {fits + ".dff", over + ".dff", over + ".TXD"}, "2 file name(s), such as \"" + over + ".dff" + tail},
        {true, {over + ".dff"}, std::nullopt}, // the archive mode refuses these itself
    };
    for (const Case& c : cases) {
        ConversionOptions o;
        o.buildImg = c.buildImg;
        EXPECT_EQ(longEntryNameWarning(o, c.names), c.warning);
    }
}

// The run makes every check above before it reads a model: refusals leave nothing behind, warnings let
// it go on.
TEST(Preflight, ARunChecksBeforeItReadsAModel) {
    TempFolder dir("veldrin-preflight");
    const fs::path lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    writeWholeFile(dir / "MAP.ZON", std::string_view("zone\nA, 0, -9000, -9000, -90, 9000, 9000, 90, 1\nend\n"));
    writeWholeFile(dir / "blocked", std::string_view("x"));
    struct Case {
        const char* name;
        void (*change)(ConversionOptions&, const fs::path& dir);
        std::string refusal;               // empty: the run goes on
        std::vector<std::string> warnings; // words of each
    };
    const Case cases[] = {
        {"missing LVZ", [](ConversionOptions& o, const fs::path& d) { o.lvzPath = d / "gone.lvz"; },
         (dir / "gone.lvz").string() + ": no such file", {}},
        {"output behind a file", [](ConversionOptions& o, const fs::path& d) { o.outputFolder = d / "blocked"; },
         "cannot create the output folder " + (dir / "blocked" / "town").string(), {}},
        {"idle options", [](ConversionOptions& o, const fs::path&) { o.genMipMaps = o.genNightPrelit = true; },
         "", {"mip-maps are made", "night prelight is written"}},
        {"island without zones", [](ConversionOptions& o, const fs::path& d) {
             o.useZon = true;
             o.zonPath = d / "MAP.ZON";
             o.zonIsland = 2;
             o.forceMegaLods = true;
         },
         "", {"MAP.ZON has no zone on island 2"}},
        {"long names", [](ConversionOptions& o, const fs::path&) { o.modelPrefix = std::string(19, 'm'); },
         "", {"file name(s), such as"}},
        {"missing zone file", [](ConversionOptions& o, const fs::path& d) {
             o.useZon = true;
             o.zonPath = d / "NONE.ZON";
         },
         (dir / "NONE.ZON").string() + ": no such file", {}},
        {"report behind a file", [](ConversionOptions& o, const fs::path&) {
             fs::create_directories(o.outputFolder);
             writeWholeFile(o.outputFolder / "town-report", std::string_view("x"));
             o.writeReport = true;
         },
         "cannot write the report into " + (dir / "report behind a file" / "town-report").string(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConversionOptions o = optionsFor(lvz, GameVersion::LcsPs2);
        o.outputFolder = dir / c.name;
        c.change(o, dir.path());
        if (!c.refusal.empty()) {
            try {
                runAndCollect(o);
                ADD_FAILURE() << "not refused";
            } catch (const VeldrinError& e) {
                EXPECT_EQ(std::string(e.what()).rfind(c.refusal, 0), 0u) << e.what();
            }
            EXPECT_FALSE(fs::exists(o.levelFolder()));
            continue;
        }
        const RunResult r = runAndCollect(o);
        ASSERT_EQ(r.warnings.size(), c.warnings.size());
        for (std::size_t i = 0; i < c.warnings.size(); ++i) EXPECT_NE(r.warnings[i].find(c.warnings[i]), std::string::npos) << r.warnings[i];
    }
    EXPECT_TRUE(fs::is_regular_file(dir / "blocked"));
}

} // namespace
} // namespace veldrin::test
