#include "app/Preflight.h"

#include <gtest/gtest.h>

#include "base/FileIO.h"
#include "support/TempFolder.h"

namespace veldrin::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
        {Make::File, Make::Empty, Make::Nothing, {img.string() + ": is empty"}}, // a missing MAP.ZON only warns later
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
        int threshold;
        std::vector<std::string> warnings;
    };
    const std::string mip = "mip-maps are made for GTA VC and GTA SA only: the mip-map option does nothing for GTA 3";
    const std::string night = "night prelight is written for GTA SA only: the night prelight option does nothing for ";
    const std::string threshold = "the mip-map threshold does nothing without mip-maps";
    const Case cases[] = {
        {TargetGame::GtaSa, true, true, 3, {}},
        {TargetGame::GtaVc, true, false, 2, {}},
        {TargetGame::Gta3, false, false, 0, {}},
        {TargetGame::Gta3, true, false, 0, {mip}},
        {TargetGame::Gta3, true, true, 0, {mip, night + "GTA 3"}},
        {TargetGame::GtaVc, false, true, 0, {night + "GTA VC"}},
        {TargetGame::GtaSa, false, false, 1, {threshold}},
        {TargetGame::Gta3, false, true, 4, {night + "GTA 3", threshold}},
    };
    for (const Case& c : cases) {
        ConversionOptions o;
        o.targetGame = c.target;
        o.genMipMaps = c.mipMaps;
        o.genNightPrelit = c.night;
        o.mipMapThreshold = c.threshold;
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

TEST(Preflight, ModelNamesTooLongForAnArchiveEntry) {
    const std::string fits(20, 'm'), over(21, 'n');
    struct Case {
        bool buildImg;
        std::vector<std::string> names;
        std::optional<std::string> warning;
    };
    const std::string tail = "\", will not fit a 24-byte IMG archive entry once \".dff\" is added; choose a shorter "
                             "model prefix to put them in an IMG later";
    const Case cases[] = {
        {false, {fits, fits}, std::nullopt},
        {false, {fits, over, over + "x"}, "2 model name(s), such as \"" + over + tail},
        {true, {over}, std::nullopt}, // the archive mode refuses these itself
    };
    for (const Case& c : cases) {
        ConversionOptions o;
        o.buildImg = c.buildImg;
        EXPECT_EQ(longModelNameWarning(o, c.names), c.warning);
    }
}

} // namespace
} // namespace veldrin::test
