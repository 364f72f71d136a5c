#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "level/WorldTables.h"
#include "report/ReportFolder.h"

namespace veldrin {

// The kind a placement of this model is drawn as on the map.
PlacementKind placementKind(const ModelRecord& model);

// The level's decoded texture of a resource id, for thumbnails; nothing for ids the level does not hold.
std::function<std::optional<RgbaImage>(int)> levelTextureLookup(std::span<const uint8_t> level,
                                                                 const std::vector<ResourceEntry>& resources,
                                                                 GameVersion edition);

// A thumbnail of model `resourceIndex` read from the level as the model converter reads it.
ThumbnailSource modelThumbnail(std::span<const uint8_t> level, const WorldTables& tables, int resourceIndex,
                               const std::string& name);

// What a level holds before converting: one sheet named `sheetName` of every texture its placed models
// use (decoded from the console data), a thumbnail of every placed model a run would consider (located,
// instanced, not the second part of a pair), and the map of every placement at its position in the level.
// Fills the record's counts. The spans and tables must outlive the content.
struct LevelNames {
    std::string sheetName, modelPrefix, lodPrefix, texturePrefix;
};
ReportContent levelContent(std::span<const uint8_t> level, const WorldTables& tables, const LevelNames& names,
                           RunRecord& record, int jobs);

} // namespace veldrin
