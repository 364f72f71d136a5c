#include "app/batch/BatchSummary.h"

#include <algorithm>
#include <system_error>

#include <nlohmann/json.hpp>

#include "app/batch/BatchTable.h"
#include "base/FileIO.h"
#include "report/ReportFolder.h"
#include "report/ReportPage.h"
#include "report/RunRecord.h"

namespace veldrin {

namespace fs = std::filesystem;

std::optional<std::string> levelReportLink(const BatchLevelResult& result, const fs::path& batchFolder) {
    const ConversionOptions& o = result.level.options;
    const fs::path page = reportFolderFor(o.outputFolder, o.levelName) / "index.html";
    std::error_code error;
    if (!fs::is_regular_file(page, error)) return std::nullopt;
    const fs::path relative = fs::absolute(page).lexically_normal().lexically_relative(fs::absolute(batchFolder).lexically_normal());
    if (relative.empty()) return std::nullopt;
    std::string link;
    for (const fs::path& part : relative) link += (link.empty() ? "" : "/") + (part == ".." ? std::string("..") : urlSegment(part.string()));
    return link;
}

namespace {

int countOf(const std::vector<BatchLevelResult>& results, LevelOutcome outcome) {
    return static_cast<int>(std::count_if(results.begin(), results.end(), [&](const BatchLevelResult& r) { return r.outcome == outcome; }));
}

} // namespace

std::string batchJson(const std::vector<BatchLevelResult>& results, const fs::path& batchFolder) {
    using Json = nlohmann::ordered_json;
    Json levels = Json::array();
    for (const BatchLevelResult& r : results) {
        const ConversionOptions& o = r.level.options;
        const auto ids = r.writtenIds();
        const auto report = levelReportLink(r, batchFolder);
        levels.push_back({
            {"name", o.levelName},
            {"lvz", o.lvzPath.string()},
            {"edition", std::string(editionName(o.edition))},
            {"edition_detected", r.level.editionDetected},
            {"first_id", o.generateIde ? Json(o.idOffset) : Json(nullptr)},
            {"ids", ids ? Json{{"first", ids->first}, {"last", ids->second}} : Json(nullptr)},
            {"counts",
             {{"models", r.summary.modelsConverted}, {"models_skipped", r.summary.modelsSkipped},
              {"dictionaries", r.summary.dictionaries}, {"placements", r.summary.instancesWritten},
              {"warnings", r.summary.warnings}}},
            {"stale_files", r.staleFiles},
            {"status", outcomeName(r.outcome)},
            {"reason", r.reason.empty() ? Json(nullptr) : Json(r.reason)},
            {"output", o.levelFolder().string()},
            {"report", report ? Json(*report) : Json(nullptr)},
        });
    }
    const Json j{
        {"tool", "veldrin"},
        {"version", veldrinVersion()},
        {"levels", levels},
        {"counts",
         {{"levels", results.size()},
          {"converted", countOf(results, LevelOutcome::Converted)},
          {"failed", countOf(results, LevelOutcome::Failed)},
          {"stopped", countOf(results, LevelOutcome::Stopped)}}},
    };
    return j.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.4 system-ui, sans-serif; margin: 24px; color: #222; background: #fafafa; }
h1 { font-size: 22px; margin: 0 0 4px; }
table { border-collapse: collapse; margin-top: 16px; } td, th { padding: 2px 12px 2px 0; text-align: left; vertical-align: top; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
tr.failed td { color: #a01010; } tr.stopped td { color: #777; }
)";

std::string cell(const std::string& text, bool number = false) {
    return std::string(number ? "<td class=\"n\">" : "<td>") + escapeHtml(text) + "</td>";
}

} // namespace

std::string batchPage(const std::vector<BatchLevelResult>& results, const fs::path& batchFolder) {
    const int failed = countOf(results, LevelOutcome::Failed);
    std::string h;
    h += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Batch conversion report</title>\n";
    h += std::string("<style>") + kStyle + "</style>\n</head>\n<body>\n";
    h += "<h1>Batch conversion</h1>\n<p>Converted by Veldrin " + escapeHtml(veldrinVersion()) + ": ";
    h += std::to_string(countOf(results, LevelOutcome::Converted)) + " of " + std::to_string(results.size()) +
         " level(s) converted, " + std::to_string(failed) + " failed.</p>\n";
    h += "<table>\n<tr><th>Level</th><th>Edition</th><th>Models</th><th>Dictionaries</th><th>Placements</th>"
         "<th>IDs</th><th>Warnings</th><th>Status</th></tr>\n";
    for (const BatchLevelResult& r : results) {
        const auto report = levelReportLink(r, batchFolder);
        const std::string name = escapeHtml(r.level.options.levelName);
        h += std::string("<tr class=\"") + outcomeName(r.outcome) + "\">";
        h += "<td>" + (report ? "<a href=\"" + escapeHtml(*report) + "\">" + name + "</a>" : name) + "</td>";
        h += cell(editionText(r.level));
        h += cell(std::to_string(r.summary.modelsConverted), true);
        h += cell(std::to_string(r.summary.dictionaries), true);
        h += cell(std::to_string(r.summary.instancesWritten), true);
        h += cell(idRangeText(r));
        h += cell(std::to_string(r.summary.warnings), true);
        h += cell(outcomeName(r.outcome) + (r.reason.empty() ? std::string() : ": " + r.reason));
        h += "</tr>\n";
    }
    h += "</table>\n</body>\n</html>\n";
    return h;
}

fs::path batchFolder(const std::vector<BatchLevelResult>& results) {
    return results.empty() ? fs::path() : results.front().level.options.outputFolder;
}

void writeBatchSummary(const std::vector<BatchLevelResult>& results, const fs::path& batchFolder) {
    ensureFolder(batchFolder);
    writeWholeFile(batchFolder / "batch.json", batchJson(results, batchFolder));
    writeWholeFile(batchFolder / "batch-report.html", batchPage(results, batchFolder));
}

} // namespace veldrin
