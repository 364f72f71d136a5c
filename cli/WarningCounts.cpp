#include "cli/WarningCounts.h"

#include <utility>

#include "report/WarningKinds.h"

namespace veldrin::cli {

std::vector<std::string> warningCountLines(const std::vector<std::string>& texts) {
    std::vector<std::pair<std::string, std::string>> classified;
    for (const std::string& text : texts) classified.emplace_back(std::string(classifyWarning(text).id), text);
    std::vector<std::string> lines;
    for (const WarningGroup& group : groupWarnings(classified))
        lines.push_back(std::to_string(group.texts.size()) + " x " + std::string(group.kind->title));
    return lines;
}

} // namespace veldrin::cli
