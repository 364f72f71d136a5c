#include <gtest/gtest.h>

#include "app/run/DictionaryAssignment.h"

namespace veldrin {
namespace {

std::vector<CommittedModel> modelsWithTextures(std::initializer_list<std::vector<int>> textures) {
    std::vector<CommittedModel> models;
    for (const std::vector<int>& ids : textures)
        models.push_back({static_cast<int>(models.size()), "m" + std::to_string(models.size()), ids});
    return models;
}

// "NAME [first,end) ids" per dictionary, in build order.
std::vector<std::string> describe(const std::vector<DictionaryPlan>& dictionaries) {
    std::vector<std::string> lines;
    for (const DictionaryPlan& d : dictionaries) {
        std::string line = d.name + " [" + std::to_string(d.firstModel) + "," + std::to_string(d.endModel) + ")";
        for (int id : d.textureIds) line += " " + std::to_string(id);
        if (d.afterIndexFiles) line += " last";
        lines.push_back(line);
    }
    return lines;
}

TEST(DictionaryAssignment, EveryModeGroupsCommittedModelsAsTheIdeLinesNameThem) {
    const auto three = modelsWithTextures({{9, 10}, {10, 2}, {100}});
    struct Case {
        TxdMode mode;
        int perTxd;
        std::size_t models;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {TxdMode::NoTxd, 50, 3, {}},
        {TxdMode::OneBigTxd, 50, 3, {"TOWNTXD [0,3) 10 100 2 9 last"}},
        {TxdMode::OneBigTxd, 50, 0, {"TOWNTXD [0,0) last"}},
        {TxdMode::TxdPerGroup, 1, 3, {"m0 [0,1) 10 9", "m1 [1,2) 10 2", "m2 [2,3) 100"}},
        // Groups of two: a partial last group, then with a full last group the empty group after it.
        {TxdMode::TxdPerGroup, 2, 3, {"TOWNTXD1 [0,2) 10 2 9", "TOWNTXD2 [2,3) 100"}},
        {TxdMode::TxdPerGroup, 2, 2, {"TOWNTXD1 [0,2) 10 2 9", "TOWNTXD2 [2,2)"}},
        {TxdMode::TxdPerGroup, 5, 0, {"TOWNTXD1 [0,0)"}},
    };
    for (const Case& c : cases) {
        ConversionOptions o;
        o.levelName = "town";
        o.txdMode = c.mode;
        o.modelsPerTxd = c.perTxd;
        const std::span<const CommittedModel> committed(three.data(), c.models);
        const std::vector<DictionaryPlan> dictionaries = assignDictionaries(committed, o);
        EXPECT_EQ(describe(dictionaries), c.expected) << static_cast<int>(c.mode) << " " << c.perTxd << " " << c.models;
        // The IDE column and the moment a dictionary is built follow the same rule.
        for (const DictionaryPlan& d : dictionaries) {
            for (std::size_t i = d.firstModel; i < d.endModel; ++i) {
                EXPECT_EQ(ideDictionaryName(i, committed[i].name, o), d.name);
                EXPECT_EQ(closesDictionary(i, o), !d.afterIndexFiles && i + 1 == d.endModel && d.endModel - d.firstModel ==
                                                      (o.onePerModel() ? 1u : static_cast<std::size_t>(c.perTxd)));
            }
        }
        if (c.mode == TxdMode::NoTxd) {
            EXPECT_EQ(ideDictionaryName(0, "m0", o), "NULL");
        }
    }
}

} // namespace
} // namespace veldrin
