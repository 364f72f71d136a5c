#include "app/run/DictionaryAssignment.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "base/TextUtil.h"

namespace veldrin {

namespace {

std::size_t groupSize(const ConversionOptions& o) { return static_cast<std::size_t>(std::max(1, o.modelsPerTxd)); }

std::string groupName(const ConversionOptions& o, std::size_t group) {
    return toUpper(o.levelName) + "TXD" + std::to_string(group + 1);
}

} // namespace

bool decimalTextLess(int a, int b) {
    char ta[16], tb[16];
    const auto ea = std::to_chars(ta, ta + sizeof ta, a).ptr;
    const auto eb = std::to_chars(tb, tb + sizeof tb, b).ptr;
    return std::string_view(ta, static_cast<std::size_t>(ea - ta)) < std::string_view(tb, static_cast<std::size_t>(eb - tb));
}

DictionaryPlan dictionaryAt(std::size_t commitIndex, std::span<const CommittedModel> models, const ConversionOptions& o) {
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
    for (std::size_t i = d.firstModel; i < d.endModel; ++i)
        d.textureIds.insert(d.textureIds.end(), models[i].textureIds.begin(), models[i].textureIds.end());
    // Repeats go first, by number (cheap); the few left are put in the order of their decimal text.
    std::sort(d.textureIds.begin(), d.textureIds.end());
    d.textureIds.erase(std::unique(d.textureIds.begin(), d.textureIds.end()), d.textureIds.end());
    std::sort(d.textureIds.begin(), d.textureIds.end(), decimalTextLess);
    return d;
}

std::vector<DictionaryPlan> assignDictionaries(std::span<const CommittedModel> models, const ConversionOptions& o) {
    std::vector<DictionaryPlan> dictionaries;
    if (o.txdMode == TxdMode::NoTxd) return dictionaries;
    if (o.txdMode == TxdMode::OneBigTxd) return {dictionaryAt(0, models, o)};
    // Per model or per group: each dictionary starts where the previous one ended; a group run always
    // ends with the group after the last full one.
    for (std::size_t i = 0; i < models.size(); i = dictionaries.back().endModel) dictionaries.push_back(dictionaryAt(i, models, o));
    if (!o.onePerModel() && models.size() % groupSize(o) == 0) dictionaries.push_back(dictionaryAt(models.size(), models, o));
    return dictionaries;
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
