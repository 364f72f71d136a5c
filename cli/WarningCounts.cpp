#include "cli/WarningCounts.h"

namespace veldrin::cli {

std::vector<std::string> warningCountLines(const std::vector<RunWarning>& warnings) {
    std::vector<std::string> lines;
    for (const WarningGroup& group : groupWarnings(warnings))
        lines.push_back(std::to_string(group.texts.size()) + " x " + std::string(group.kind->title));
    return lines;
}

} // namespace veldrin::cli
