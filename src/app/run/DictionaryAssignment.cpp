#include "app/run/DictionaryAssignment.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "app/run/RunPlan.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace {

std::size_t groupSize(const ConversionOptions& o) { return static_cast<std::size_t>(std::max(1, o.modelsPerTxd)); }

std::string groupName(const ConversionOptions& o, std::size_t group) {
    return toUpper(o.levelName) + "TXD" + std::to_string(group + 1);
}

// Ids in the order of their decimal text ("10" before "9"), each text made once: a level's one
// dictionary sorts tens of thousands of ids.
void sortByDecimalText(std::vector<int>& ids) {
    struct Keyed {
        std::array<char, 12> text{}; // "-2147483648" and its zero end, which sorts before every digit
        int id = 0;
    };
    std::vector<Keyed> keyed(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        keyed[i].id = ids[i];
        std::to_chars(keyed[i].text.data(), keyed[i].text.data() + keyed[i].text.size() - 1, ids[i]);
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.text < b.text; });
    for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = keyed[i].id;
}

// The distinct texture ids of the models, in no order. They are resource indices, in a range a
// table of marks covers; other ids are sorted to find their repeats.
template <class Model>
std::vector<int> distinctIds(std::span<const Model> models) {
    std::vector<int> ids;
    int low = std::numeric_limits<int>::max();
    int high = std::numeric_limits<int>::min();
    std::size_t count = 0;
    for (const Model& m : models) {
        for (int id : m.textureIds) {
            low = std::min(low, id);
            high = std::max(high, id);
        }
        count += m.textureIds.size();
    }
    if (count == 0) return ids;
    const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;
    if (range > 4 * count + 65536) {
        for (const Model& m : models) ids.insert(ids.end(), m.textureIds.begin(), m.textureIds.end());
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids;
    }
    std::vector<uint8_t> seen(range, 0);
    for (const Model& m : models) {
        for (int id : m.textureIds) {
            uint8_t& mark = seen[static_cast<std::size_t>(static_cast<int64_t>(id) - low)];
            if (!mark) ids.push_back(id);
            mark = 1;
        }
    }
    return ids;
}

// Models as committed or as planned: both have a name and their distinct texture ids.
template <class Model>
DictionaryPlan dictionaryOf(std::size_t commitIndex, std::span<const Model> models, const ConversionOptions& o) {
    DictionaryPlan d;
    switch (o.txdMode) {
    case TxdMode::NoTxd: return d;
    case TxdMode::OneBigTxd:
        d = {toUpper(o.levelName) + "TXD", 0, models.size(), true, {}};
        break;
    case TxdMode::TxdPerGroup:
        if (o.onePerModel()) {
            d = {commitIndex < models.size() ? models[commitIndex].name : std::string(), commitIndex,
                 std::min(models.size(), commitIndex + 1), false, {}};
            break;
        }
        const std::size_t group = commitIndex / groupSize(o);
        const std::size_t first = group * groupSize(o);
        d = {groupName(o, group), first, std::max(first, std::min(models.size(), first + groupSize(o))), false, {}};
        break;
    }
    d.textureIds = distinctIds(models.subspan(d.firstModel, d.endModel - d.firstModel));
    sortByDecimalText(d.textureIds);
    return d;
}

template <class Model>
std::vector<DictionaryPlan> dictionariesOf(std::span<const Model> models, const ConversionOptions& o) {
    std::vector<DictionaryPlan> dictionaries;
    if (o.txdMode == TxdMode::NoTxd) return dictionaries;
    if (o.txdMode == TxdMode::OneBigTxd) return {dictionaryOf(0, models, o)};
    // Per model or per group: each dictionary starts where the previous one ended; a group run always
    // ends with the group after the last full one.
    for (std::size_t i = 0; i < models.size(); i = dictionaries.back().endModel) dictionaries.push_back(dictionaryOf(i, models, o));
    if (!o.onePerModel() && models.size() % groupSize(o) == 0) dictionaries.push_back(dictionaryOf(models.size(), models, o));
    return dictionaries;
}

} // namespace

DictionaryPlan dictionaryAt(std::size_t commitIndex, std::span<const CommittedModel> models, const ConversionOptions& o) {
    return dictionaryOf(commitIndex, models, o);
}

std::vector<DictionaryPlan> assignDictionaries(std::span<const CommittedModel> models, const ConversionOptions& o) {
    return dictionariesOf(models, o);
}

std::vector<DictionaryPlan> assignDictionaries(std::span<const PlannedModel> models, const ConversionOptions& o) {
    return dictionariesOf(models, o);
}

std::string ideDictionaryName(std::size_t commitIndex, const std::string& modelName, const ConversionOptions& o) {
    switch (o.txdMode) {
    case TxdMode::NoTxd: return "NULL";
    case TxdMode::OneBigTxd: return toUpper(o.levelName) + "TXD";
    case TxdMode::TxdPerGroup: return o.onePerModel() ? modelName : groupName(o, commitIndex / groupSize(o));
    }
    return "NULL";
}

bool closesDictionary(std::size_t commitIndex, const ConversionOptions& o) {
    if (o.txdMode != TxdMode::TxdPerGroup) return false;
    return o.onePerModel() || (commitIndex + 1) % groupSize(o) == 0;
}

} // namespace veldrin
