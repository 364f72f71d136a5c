#include <gtest/gtest.h>

#include "install/GameLimits.h"

namespace veldrin::install {
namespace {

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
        EXPECT_EQ(passed[0], "model ids (highest id + 1): " + std::to_string(idLimit + 1) + " of " + std::to_string(idLimit) + " (1 over)");
    }
    // The published id limits the plan is measured against.
    GameFolder game;
    const long long ids[] = {5500, 6500, 20000};
    for (int i = 0; i < 3; ++i) {
        game.target = kTargets[i];
        EXPECT_EQ(rowOf(limitTable(game, {}, {}), "model ids").limit, ids[i]);
    }
}

} // namespace
} // namespace veldrin::install
