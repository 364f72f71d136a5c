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

// A model the pictures show, read back from the level as the model converter reads it.
struct ReportModel {
    std::string name;
    int64_t firstPart = 0, secondPart = 0;
    std::array<float, 3> scale{0, 0, 0};
    std::optional<int> ideId; // with an IDE
    std::string dictionary;   // as the IDE line names it
    // As written, once converted; -1 when not known.
    int triangles = -1, vertices = -1;
    int64_t bytes = -1;
};

// A thumbnail of each model, read from the level when drawn.
std::vector<ThumbnailSource> modelThumbnails(std::span<const uint8_t> level, GameVersion edition,
                                             const std::vector<ReportModel>& models);

// What a level holds before converting: a thumbnail of each of `models`, one sheet named `sheetName` of
// the textures `textureIds` (decoded from the console data, named with `texturePrefix`), and the map of
// `points`. Fills the record's counts. The level and tables must outlive the content.
ReportContent levelContent(std::span<const uint8_t> level, const WorldTables& tables, const std::vector<ReportModel>& models,
                           const std::vector<int>& textureIds, std::vector<MapPoint> points, const std::string& sheetName,
                           const std::string& texturePrefix, RunRecord& record, int jobs);

} // namespace veldrin
