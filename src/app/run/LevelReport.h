#pragma once
#include <filesystem>

#include "app/options/ConversionOptions.h"
#include "level/LevelInput.h"
#include "level/WorldTables.h"
#include "level/ZonFile.h"
#include "report/LevelContent.h"
#include "report/RunRecord.h"

namespace veldrin {

// The pictures of a level before converting it, as a run with `options` would convert it: thumbnails of
// the planned models, one sheet of the textures they use, and the map of the placements that survive the
// zone filter (`zones`, when given), moved by the map offset. Fills the record's counts.
ReportContent plannedLevelContent(const ConversionOptions& options, const LevelBuffer& level, const WorldTables& tables,
                                  const ZoneTable* zones, RunRecord& record);

// Writes those pictures with the level's record into `folder` (index.html, manifest.json, textures/,
// models/, map.png).
void writeLevelReport(const std::filesystem::path& folder, const ConversionOptions& options, const LevelBuffer& level,
                      const WorldTables& tables, const ZoneTable* zones, bool editionDetected);

} // namespace veldrin
