#include <gtest/gtest.h>

#include "base/FileIO.h"
#include "install/GameLimits.h"
#include "install/LimitAdjusters.h"
#include "support/TempFolder.h"

namespace veldrin::install {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr TargetGame kTargets[] = {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa};

const LimitRow& rowOf(const std::vector<LimitRow>& rows, const std::string& start) {
    for (const LimitRow& row : rows)
        if (row.what.rfind(start, 0) == 0) return row;
    throw std::runtime_error("no row " + start);
}

TEST(GameLimits, EachRowAddsTheInstallToTheGameAndIsOverOnlyPastItsLimit) {
    for (TargetGame target : kTargets) {
        SCOPED_TRACE(std::string(targetGameName(target)));
        GameFolder game;
        game.target = target;
        GameContent content;
        content.highestId = 1999;
        content.dictionaries = 40;
        content.collisionFiles = 3;
        content.archives = 2;
        content.archiveLines = 1;
        content.placements = 500;
        AddedContent added;
        added.highestId = 2999;
        added.dictionaries = 7;
        added.collisionFiles = 2;
        added.archives = 1;
        added.placements = 60;
        added.largestIplPlacements = 60;
        const std::vector<LimitRow> rows = limitTable(game, content, added);
        EXPECT_EQ(rowOf(rows, "model ids").figure, 3000);
        EXPECT_EQ(rowOf(rows, "texture dictionary").figure, 47);
        EXPECT_EQ(rowOf(rows, "placements (").figure, 560);
        EXPECT_EQ(rowOf(rows, "archives").figure, target == TargetGame::GtaSa ? 2 : 3);
        EXPECT_EQ(std::any_of(rows.begin(), rows.end(), [](const LimitRow& r) { return r.what.rfind("collision", 0) == 0; }),
                  target != TargetGame::Gta3);
        EXPECT_TRUE(limitsPassed(rows).empty());

        // Ids to exactly the limit fit; one more passes it, by one, and the text gives both figures.
        const long long idLimit = rowOf(rows, "model ids").limit;
        added.highestId = int(idLimit - 1);
        EXPECT_TRUE(limitsPassed(limitTable(game, content, added)).empty());
        added.highestId = int(idLimit);
        const std::vector<std::string> passed = limitsPassed(limitTable(game, content, added));
        ASSERT_EQ(passed.size(), 1u);
        EXPECT_EQ(passed[0], "model ids (highest id + 1): " + limitNumberText(idLimit + 1) + " of " + limitNumberText(idLimit) + " (1 over)");
    }
    // The published id limits the plan is measured against.
    GameFolder game;
    const long long ids[] = {5500, 6500, 20000};
    for (int i = 0; i < 3; ++i) {
        game.target = kTargets[i];
        EXPECT_EQ(rowOf(limitTable(game, {}, {}), "model ids").limit, ids[i]);
    }
}

// The over-limit lines give their figures as the table does.
TEST(GameLimits, PassedLimitsUseTheTablesNumbers) {
    GameFolder game;
    game.target = TargetGame::GtaSa;
    AddedContent added;
    added.placements = 19901;
    const std::vector<std::string> passed = limitsPassed(limitTable(game, {}, added));
    ASSERT_EQ(passed.size(), 1u);
    EXPECT_EQ(passed[0], "placements (building and dummy pools): 19,901 of 15,500 (4,401 over)");
    EXPECT_EQ(limitNumberText(-1234567), "-1,234,567");
    EXPECT_EQ(limitNumberText(999), "999");
}

// Adjuster settings as users write them, and as they go wrong: each file gives the limits it sets
// (or none) and a note for each setting not taken.
TEST(LimitAdjusters, ReadsTheKeysItKnowsAndNotesTheRest) {
    using enum AdjustableLimit;
    struct Row {
        const char* what;
        AdjusterFormat format;
        TargetGame target;
        std::string text;
        std::map<AdjustableLimit, long long> set; // -1: unlimited
        std::size_t notes;
    };
    const std::vector<Row> rows = {
        {"fastman92, raised", AdjusterFormat::Fastman92, TargetGame::GtaSa,
         "[ID LIMITS]\r\nApply ID limit patch = 1\r\nFILE_TYPE_DFF = 30000\r\nFILE_TYPE_TXD = 6000 ; more\r\nFILE_TYPE_COL = 400\r\n"
         "[IPL]\r\nBuildings = 50000\r\nDummies = 8000\r\nInst entries per file = 16384\r\n",
         {{ModelIds, 30000}, {DictionarySlots, 6000}, {CollisionSlots, 400}, {Buildings, 50000}, {Dummies, 8000}, {PlacementsPerIpl, 16384}},
         0},
        {"fastman92, lines turned off", AdjusterFormat::Fastman92, TargetGame::GtaSa,
         "[ID LIMITS]\nApply ID limit patch = 1\n#FILE_TYPE_TXD = 6000\n[IPL]\n#Buildings = 50000\nDummies = 3000\n", {{Dummies, 3000}}, 0},
        {"fastman92, ids without the patch", AdjusterFormat::Fastman92, TargetGame::GtaSa,
         "[ID LIMITS]\nApply ID limit patch = 0\nFILE_TYPE_DFF = 30000\n", {}, 1},
        {"fastman92, a key of another section", AdjusterFormat::Fastman92, TargetGame::GtaSa,
         "[DYNAMIC LIMITS]\nBuildings = 50000\n[IPL]\nbuildings=20000\n", {{Buildings, 20000}}, 0},
        {"fastman92, garbage and huge numbers", AdjusterFormat::Fastman92, TargetGame::GtaSa,
         "[IPL]\nBuildings = lots\nDummies = 99999999999999999999\nInst entries per file = unlimited\n= 5\n[\nnonsense\n", {}, 3},
        {"fastman92, the first setting stands", AdjusterFormat::Fastman92, TargetGame::GtaSa,
         "[IPL]\nBuildings = 20000\nBuildings = 90000\n", {{Buildings, 20000}}, 0},
        {"open adjuster, SA", AdjusterFormat::OpenLimitAdjuster, TargetGame::GtaSa,
         "[SALIMITS]\nBuildings = 15000\nDummys = 9500\nEntitiesPerIpl = unlimited\n[VCLIMITS]\nBuildings = 300000\n",
         {{Buildings, 15000}, {Dummies, 9500}, {PlacementsPerIpl, -1}}, 0},
        {"open adjuster, VC", AdjusterFormat::OpenLimitAdjuster, TargetGame::GtaVc,
         "[SALIMITS]\nBuildings = 15000\n[VCLIMITS]\nPtrNode\t= 300000\nBuildings = 300000\nTreadables = 1\nDummys = 9500\n",
         {{Buildings, 300000}, {Treadables, 1}, {Dummies, 9500}}, 0},
        {"open adjuster, GTA 3, a pool is never unlimited", AdjusterFormat::OpenLimitAdjuster, TargetGame::Gta3,
         "[GTA3LIMITS]\nBuildings = unlimited\nDummys = 0\nObjects = 9500\n", {}, 2},
        {"not text", AdjusterFormat::OpenLimitAdjuster, TargetGame::Gta3, std::string("[GTA3LIMITS]\nBuildings = 9000\n\0", 31), {}, 1},
        {"empty", AdjusterFormat::Fastman92, TargetGame::GtaSa, "", {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const LimitAdjustments read = readAdjusterText(row.text, row.format, row.target, "settings.ini");
        std::map<AdjustableLimit, long long> got;
        for (const auto& [limit, setting] : read.limits) {
            got[limit] = setting.unlimited ? -1 : setting.value;
            EXPECT_EQ(setting.source, "settings.ini");
        }
        EXPECT_EQ(got, row.set);
        EXPECT_EQ(read.notes.size(), row.notes);
        for (const std::string& note : read.notes) EXPECT_EQ(note.rfind("settings.ini", 0), 0u) << note;
    }
}

// The files are found beside the game or in its ASI loader's folders, in any letter case; each limit
// is taken from the first file that sets it, and the table shows the adjusted limit with its source.
TEST(LimitAdjusters, FoundInTheGameFolderAndShownInTheTable) {
    TempFolder folder("veldrin-adjusters");
    GameFolder game;
    game.root = folder.path();
    game.target = TargetGame::GtaSa;
    fs::create_directories(folder / "Scripts");
    writeWholeFile(folder / "Scripts" / "FASTMAN92LIMITADJUSTER_GTASA.INI", std::string_view("[IPL]\nBuildings = 50000\n"));
    writeWholeFile(folder / "III.VC.SA.LimitAdjuster.ini", std::string_view("[SALIMITS]\nBuildings = 15000\nDummys = 9500\n"));
    fs::create_directories(folder / "PLUGINS");
    writeWholeFile(folder / "PLUGINS" / "limit_adjuster_gta3vcsa.ini", std::string(kMaxAdjusterBytes + 1, ' '));
    GameContent content;
    content.adjusters = readLimitAdjusters(game);
    ASSERT_EQ(content.adjusters.notes.size(), 1u); // the file past the size bound
    EXPECT_NE(content.adjusters.notes[0].find("plugins\\limit_adjuster_gta3vcsa.ini"), std::string::npos) << content.adjusters.notes[0];
    AddedContent added;
    added.placements = 60000;
    const LimitRow placements = rowOf(limitTable(game, content, added), "placements (");
    EXPECT_EQ(placements.stockLimit, 15500);
    EXPECT_EQ(placements.limit, 59500);
    EXPECT_EQ(placements.source, "scripts\\fastman92limitAdjuster_GTASA.ini, III.VC.SA.LimitAdjuster.ini");
    EXPECT_TRUE(placements.over());
    const LimitRow ids = rowOf(limitTable(game, content, added), "model ids");
    EXPECT_EQ(ids.limit, 20000);
    EXPECT_TRUE(ids.source.empty());

    // Unlimited lifts the row whatever the figure.
    content.adjusters.limits[AdjustableLimit::PlacementsPerIpl] = {0, true, "x.ini"};
    added.largestIplPlacements = 100000;
    EXPECT_FALSE(rowOf(limitTable(game, content, added), "placements in one").over());
}

} // namespace
} // namespace veldrin::install
