#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "cli/ConvertOptions.h"

namespace veldrin::cli {

// True when the levels named make a batch: more than one, or a folder.
bool namesABatch(const std::vector<std::string>& levels);

// Several levels in one convert: prints the plan (level, edition, first id), converts the levels one
// after another with the shared options, says which failed and why, and ends with the table of every
// level. With --report it also writes batch.json and batch-report.html into the batch folder (--out,
// or the first level's folder). Returns 0 when every level converted, 1 when any failed.
int runBatchCommand(const ConvertRequest& request);

} // namespace veldrin::cli
