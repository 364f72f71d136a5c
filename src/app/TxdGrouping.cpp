#include "app/TxdGrouping.h"

#include "base/TextUtil.h"

namespace veldrin {

TxdGrouping::TxdGrouping(const ConversionOptions& options, BuildDictionary build)
    : options_(options), build_(std::move(build)), upperLevel_(toUpper(options.levelName)) {}

void TxdGrouping::afterModel(const std::string& modelName, TextureList& list) {
    if (options_.txdMode != TxdMode::TxdPerGroup) return;
    if (options_.modelsPerTxd == 1) {
        // One dictionary per model, under the model's own name, the same name its IDE line gives.
        build_(modelName, modelName + ".txd", list);
        list.clear();
        return;
    }
    if (groupCounter_ == options_.modelsPerTxd) {
        closeGroup(list);
        groupCounter_ = 0;
    }
    ++groupCounter_;
}

void TxdGrouping::afterModelLoop(TextureList& list) {
    if (options_.txdMode == TxdMode::TxdPerGroup && options_.modelsPerTxd > 1) closeGroup(list);
}

void TxdGrouping::atEndOfRun(TextureList& list) {
    if (options_.txdMode != TxdMode::OneBigTxd) return;
    build_(upperLevel_ + "TXD", upperLevel_ + "TXD.TXD", list);
}

void TxdGrouping::closeGroup(TextureList& list) {
    ++groups_;
    const std::string name = upperLevel_ + "TXD" + std::to_string(groups_);
    build_(name, name + ".TXD", list);
    list.clear();
}

std::string TxdGrouping::ideDictionaryName(const std::string& modelName) const {
    switch (options_.txdMode) {
    case TxdMode::NoTxd: return "NULL";
    case TxdMode::OneBigTxd: return upperLevel_ + "TXD";
    case TxdMode::TxdPerGroup:
        if (options_.modelsPerTxd == 1) return modelName;
        return upperLevel_ + "TXD" + std::to_string(groups_ + 1);
    }
    return "NULL";
}

} // namespace veldrin
