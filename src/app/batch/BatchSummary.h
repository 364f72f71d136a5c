#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/batch/BatchRun.h"

namespace veldrin {

// Where a level's report page lies, relative to the batch folder, as a URL ("town-report/index.html");
// none when the level has no report page.
std::optional<std::string> levelReportLink(const BatchLevelResult& result, const std::filesystem::path& batchFolder);

// batch.json: tool, version, the levels in run order (name, lvz, edition, planned first id, ids written,
// counts, stale files, status and reason, output folder, report link) and how many converted and failed.
std::string batchJson(const std::vector<BatchLevelResult>& results, const std::filesystem::path& batchFolder);

// batch-report.html: the same as one page that needs nothing but the folder it lies in, each level linked
// to its own report page when it has one.
std::string batchPage(const std::vector<BatchLevelResult>& results, const std::filesystem::path& batchFolder);

// The folder a batch's summary goes into: the one holding the levels' output folders (DIR when one was
// given, else the first level's own folder). Empty for no level.
std::filesystem::path batchFolder(const std::vector<BatchLevelResult>& results);

// Writes batch.json and batch-report.html into the batch folder (whole files).
void writeBatchSummary(const std::vector<BatchLevelResult>& results, const std::filesystem::path& batchFolder);

} // namespace veldrin
