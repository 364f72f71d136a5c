#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "report/LevelPictures.h"
#include "report/PlacementMap.h"
#include "report/RunRecord.h"
#include "report/TextureSheet.h"
#include "scene/Scene.h"
#include "texture/DictionaryDecoder.h"

namespace veldrin {

// A texture sheet to draw: its name and how to get its textures (called on a worker thread).
struct SheetSource {
    std::string name;
    std::function<SheetTextures()> textures;
};

// A model to draw: its name and how to read its geometry (called on a worker thread).
struct ThumbnailSource {
    std::string name;
    std::function<ModelPreview()> read;
};

// The 3D view's level as read back from the files written, and what it had to leave out.
struct ViewScene {
    Scene scene;
    std::vector<std::string> problems;
};

// Everything a report folder shows beside the record.
struct ReportContent {
    std::vector<SheetSource> sheets;
    std::vector<ThumbnailSource> thumbnails;
    // The level's texture of a resource id for the thumbnails, or nothing when it has none.
    std::function<std::optional<RgbaImage>(int textureId)> levelTexture;
    std::optional<std::vector<MapPoint>> mapPoints; // no map without
    std::vector<MapZone> zones;
    // Builds the 3D view's level (scene.js, viewer.js) on a thread of its own while the sheets are
    // drawn; none without.
    std::function<ViewScene()> scene;
    int jobs = 1;
    // Completes the record just before the manifest is written (e.g. hashes computed meanwhile on
    // other threads); may be empty.
    std::function<void(RunRecord&)> completeRecord;
};

// "DIR/LevelName-report": beside the level's output folder, never inside it.
std::filesystem::path reportFolderFor(const std::filesystem::path& outputFolder, const std::string& levelName);

// Thumbnails are laid out kThumbnailColumns to a row, kThumbnailsPerSheet to a file.
inline constexpr std::size_t kThumbnailsPerSheet = 64;
inline constexpr std::size_t kThumbnailColumns = 8;

// Writes the report folder: textures/NAME.png and .json per dictionary, when thumbnails are given models/sheet-N.png with
// models/sheet-N.json ({"models": [{"name", "x", "y", "width", "height"}]}) per kThumbnailsPerSheet
// thumbnails, in the order given,
// map.png and map.json, manifest.json and index.html. Sheets and thumbnails render on `jobs` threads and
// the files are the same for any number. A sheet or model whose data cannot be read is left out with a
// warning of kind "report" added to the record; files that cannot be written end it with VeldrinError.
void writeReportFolder(const std::filesystem::path& folder, RunRecord record, const ReportContent& content);

} // namespace veldrin
