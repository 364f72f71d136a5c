#include "app/batch/BatchTable.h"

#include <algorithm>

namespace veldrin {

const char* outcomeName(LevelOutcome outcome) {
    switch (outcome) {
    case LevelOutcome::Converted: return "converted";
    case LevelOutcome::Failed: return "failed";
    case LevelOutcome::Stopped: return "stopped";
    }
    return "failed";
}

std::string editionText(const BatchLevel& level) {
    return std::string(editionName(level.options.edition)) + (level.editionDetected ? " (detected)" : "");
}

std::string prefixText(const ConversionOptions& options) { return options.modelPrefix + " / " + options.lodPrefix(); }

std::string idRangeText(const BatchLevelResult& result) {
    const auto ids = result.writtenIds();
    if (!ids) return "-";
    return std::to_string(ids->first) + "-" + std::to_string(ids->second);
}

std::string levelResultLine(const BatchLevelResult& r) {
    std::string line = r.level.options.levelName + " (" + editionText(r.level) + "): " + outcomeName(r.outcome);
    if (!r.reason.empty()) return line + ": " + r.reason;
    if (r.outcome != LevelOutcome::Converted) return line;
    const RunSummary& s = r.summary;
    line += ", " + std::to_string(s.modelsConverted) + " model(s), " + std::to_string(s.dictionaries) + " dictionar" +
            (s.dictionaries == 1 ? "y" : "ies") + ", " + std::to_string(s.instancesWritten) + " placement(s)";
    if (r.writtenIds()) line += ", IDs " + idRangeText(r);
    if (s.warnings > 0) line += ", " + std::to_string(s.warnings) + " warning(s)";
    return line;
}

namespace {

// The columns a cell takes on a terminal: its UTF-8 code points (a level's name may hold letters outside ASCII).
std::size_t cellWidth(const std::string& cell) {
    return static_cast<std::size_t>(std::count_if(cell.begin(), cell.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

std::string alignedColumns(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], cellWidth(row[c]));
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - cellWidth(row[c]) + 2, ' ');
        }
        text += line + "\n";
    }
    return text;
}

std::string batchPlanText(const std::vector<BatchLevel>& plan) {
    std::vector<std::vector<std::string>> rows{{"Level", "Edition", "First id", "Model/LOD prefix"}};
    for (const BatchLevel& l : plan) {
        std::vector<std::string> row{l.options.levelName, editionText(l),
                                     l.options.generateIde && l.failure.empty() ? std::to_string(l.options.idOffset) : "-",
                                     l.failure.empty() ? prefixText(l.options) : "-"};
        if (!l.failure.empty()) row.push_back("cannot convert: " + l.failure);
        rows.push_back(std::move(row));
    }
    return alignedColumns(rows);
}

std::string batchResultTable(const std::vector<BatchLevelResult>& results) {
    std::vector<std::vector<std::string>> rows{
        {"Level", "Edition", "Models", "Dictionaries", "Placements", "IDs", "Warnings", "Status"}};
    for (const BatchLevelResult& r : results) {
        const bool converted = r.outcome == LevelOutcome::Converted;
        auto count = [&](int n) { return converted ? std::to_string(n) : std::string("-"); };
        std::string status = outcomeName(r.outcome);
        if (!r.reason.empty()) status += ": " + r.reason;
        rows.push_back({r.level.options.levelName, editionText(r.level), count(r.summary.modelsConverted),
                        count(r.summary.dictionaries), count(r.summary.instancesWritten), idRangeText(r),
                        std::to_string(r.summary.warnings), status});
    }
    return alignedColumns(rows);
}

} // namespace veldrin
