#include <gtest/gtest.h>

#include <set>

#include "app/batch/BatchNames.h"
#include "base/Error.h"
#include "base/TextUtil.h"

using namespace veldrin;

namespace {

// Two near models and one drawn from afar (a LOD name).
std::vector<PlannedModel> threeModels() {
    std::vector<PlannedModel> models(3);
    const int indices[] = {12, 13, 24};
    for (std::size_t i = 0; i < models.size(); ++i) {
        models[i].resourceIndex = indices[i];
        models[i].drawDistance = i == 2 ? 3000 : 299;
    }
    return models;
}

ConversionOptions levelNamed(const std::string& name) {
    ConversionOptions o;
    o.levelName = o.modelPrefix = o.texturePrefix = name;
    o.outputFolder = "game/veldrin";
    return o;
}

} // namespace

// Each level keeps its own prefix, level name and the lowest free ids, unless the game or an earlier
// level has one of its names or ids: then the first free variant and the next free range. Whatever is
// chosen, no name is given twice or given when reserved, and the LOD prefix follows the model prefix.
TEST(LevelNamePlanner, ChoosesFreeIdsAndNamesAroundTheGameAndEarlierLevels) {
    struct Row {
        const char* what;
        ReservedContent reserved;
        std::set<std::string> entries; // the game's archive entries
        std::vector<std::string> levels;
        std::vector<std::string> prefixes, levelNames;
        std::vector<int> firstIds;
    };
    const std::vector<Row> rows = {
        {"nothing reserved", {}, {}, {"bar", "bay"}, {"bar", "bay_2"}, {"bar", "bay"}, {1000, 1003}},
        {"ids around the game's", {{1001, 1005}, {}, {}, {}}, {}, {"bar", "town"}, {"bar", "town"}, {"bar", "town"}, {1002, 1006}},
        {"a model name of the game", {{}, {"town12"}, {}, {}}, {}, {"town"}, {"town_2"}, {"town"}, {1000}},
        {"a dictionary of the game", {{}, {}, {"towntxd"}, {}}, {}, {"town"}, {"town"}, {"town_2"}, {1000}},
        {"an archive entry of the game", {}, {"LODn24.DFF", "other.ifp"}, {"town"}, {"town_2"}, {"town"}, {1000}},
        {"the same level twice", {}, {}, {"town", "town"}, {"town", "town_2"}, {"town", "town_2"}, {1000, 1003}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ReservedContent reserved = row.reserved;
        reserveArchiveEntries(reserved, row.entries);
        LevelNamePlanner planner(reserved, IdRule{1000, false});
        std::set<std::string> models, dictionaries;
        std::set<int> ids;
        for (std::size_t i = 0; i < row.levels.size(); ++i) {
            ConversionOptions o = levelNamed(row.levels[i]);
            const std::vector<RunWarning> notes = planner.placeLevel(o, threeModels());
            EXPECT_EQ(o.modelPrefix, row.prefixes[i]);
            EXPECT_EQ(o.levelName, row.levelNames[i]);
            EXPECT_EQ(o.idOffset, row.firstIds[i]);
            EXPECT_EQ(o.lodPrefix(), "LOD" + o.modelPrefix.substr(3));
            EXPECT_EQ(notes.size(), std::size_t(o.modelPrefix != row.levels[i]) + (o.levelName != row.levels[i]));
            for (int id = o.idOffset; id < o.idOffset + 3; ++id) {
                EXPECT_TRUE(ids.insert(id).second) << id;
                EXPECT_EQ(reserved.ids.count(id), 0u) << id;
            }
            const LevelNames names = levelNames(threeModels(), o);
            for (const std::string& n : names.models) {
                EXPECT_TRUE(models.insert(toLower(n)).second) << n;
                EXPECT_EQ(reserved.models.count(toLower(n)), 0u) << n;
            }
            for (const std::string& n : names.dictionaries) {
                EXPECT_TRUE(dictionaries.insert(toLower(n)).second) << n;
                EXPECT_EQ(reserved.dictionaries.count(toLower(n)), 0u) << n;
            }
        }
    }
}

// A given first id is kept as given, level after level, and refused with the id the game uses.
TEST(LevelNamePlanner, FixedIdsAreCheckedAgainstTheGame) {
    struct Row {
        const char* what;
        std::set<int> gameIds;
        int from;
        std::vector<int> firstIds; // -1: refused
    };
    const std::vector<Row> rows = {
        {"free", {999, 1006}, 1000, {1000, 1003}},
        {"second range meets the game", {1005}, 1000, {1000, -1}},
        {"first id is the game's", {2000}, 2000, {-1, -1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ReservedContent reserved;
        reserved.ids = row.gameIds;
        LevelNamePlanner planner(reserved, IdRule{row.from, true});
        for (std::size_t i = 0; i < row.firstIds.size(); ++i) {
            ConversionOptions o = levelNamed("l" + std::to_string(i) + "xx");
            if (row.firstIds[i] < 0) {
                try {
                    planner.placeLevel(o, threeModels());
                    ADD_FAILURE() << "level " << i << " placed at " << o.idOffset;
                } catch (const VeldrinError& e) {
                    EXPECT_NE(std::string(e.what()).find("is used by the game already"), std::string::npos) << e.what();
                }
                continue;
            }
            planner.placeLevel(o, threeModels());
            EXPECT_EQ(o.idOffset, row.firstIds[i]);
        }
    }
}
