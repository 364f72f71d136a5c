#pragma once
#include <string>
#include <vector>

#include "app/batch/BatchRun.h"

namespace veldrin {

// Words of a level's outcome in the table and the summary files: "converted", "failed", "stopped".
const char* outcomeName(LevelOutcome outcome);
// A level's edition, marked "(detected)" when it was found from the level's bytes.
std::string editionText(const BatchLevel& level);
// "bar / LOD": the model prefix and the LOD prefix derived from it.
std::string prefixText(const ConversionOptions& options);
// "1000-1041" for a level that wrote ids, "-" for one that wrote none.
std::string idRangeText(const BatchLevelResult& result);

// One level's result in one line, as the window's final message lists them: "town (lcs-ps2): converted,
// 36 model(s), 2 dictionaries, 90 placement(s), IDs 1000-1035, 1 warning(s)" or "junk: failed: reason".
std::string levelResultLine(const BatchLevelResult& result);

// The plan printed before a batch runs: one line per level with its edition, its first IDE id ("-" with
// IDE off) and its model/LOD prefix, and the reason of a level that cannot be converted.
std::string batchPlanText(const std::vector<BatchLevel>& plan);

// The table at the end of a batch: one line per level with its edition, models, dictionaries, placements,
// id range, warnings and status (a failure's reason after it), columns padded to their widest cell.
std::string batchResultTable(const std::vector<BatchLevelResult>& results);

// Text lines padded to columns, two blanks apart; the last column is not padded.
std::string alignedColumns(const std::vector<std::vector<std::string>>& rows);

} // namespace veldrin
