#include "app/options/RunRecordOptions.h"

#include "app/options/OptionTable.h"

namespace veldrin {

std::vector<std::pair<std::string, RunRecord::OptionValue>> recordedOptions(const ConversionOptions& o) {
    std::vector<std::pair<std::string, RunRecord::OptionValue>> options;
    for (const OptionEntry& entry : optionTable()) {
        if (entry.record) options.emplace_back(entry.name, entry.record(o));
    }
    return options;
}

RunRecord::Level recordedLevel(const ConversionOptions& o, bool editionDetected) {
    return {o.levelName, o.lvzPath.string(), o.imgPath.string(), std::string(editionName(o.edition)),
            editionDetected};
}

} // namespace veldrin
