#include "report/LevelContent.h"

#include "base/Error.h"
#include "base/TextureName.h"
#include "report/LevelPictures.h"

namespace veldrin {

PlacementKind placementKind(const ModelRecord& model) {
    if (model.megaLod) return PlacementKind::MegaLod;
    return model.drawDistance >= 300 ? PlacementKind::Lod : PlacementKind::Model;
}

std::function<std::optional<RgbaImage>(int)> levelTextureLookup(std::span<const uint8_t> level,
                                                                 const std::vector<ResourceEntry>& resources,
                                                                 GameVersion edition) {
    return [level, &resources, edition](int id) -> std::optional<RgbaImage> {
        if (id < 0 || static_cast<std::size_t>(id) >= resources.size() || resources[std::size_t(id)].position == 0)
            return std::nullopt;
        const ResourceEntry& e = resources[std::size_t(id)];
        return decodeLevelTexture(level, TextureRef{id, e.position, e.base}, edition);
    };
}

std::vector<ThumbnailSource> modelThumbnails(std::span<const uint8_t> level, GameVersion edition,
                                             const std::vector<ReportModel>& models) {
    std::vector<ThumbnailSource> thumbnails;
    thumbnails.reserve(models.size());
    for (const ReportModel& m : models) {
        thumbnails.push_back({m.name, [level, edition, m] {
                                  return readModelPreview(level, m.firstPart, m.secondPart, edition, m.scale, m.name);
                              }});
    }
    return thumbnails;
}

ReportContent levelContent(std::span<const uint8_t> level, const WorldTables& tables, const std::vector<ReportModel>& models,
                           const std::vector<int>& textureIds, std::vector<MapPoint> points, const std::string& sheetName,
                           const std::string& texturePrefix, RunRecord& record, int jobs) {
    ReportContent content;
    content.jobs = jobs;
    content.levelTexture = levelTextureLookup(level, tables.resources, tables.edition);
    content.thumbnails = modelThumbnails(level, tables.edition, models);
    record.counts.models = static_cast<int>(models.size());
    record.counts.textures = static_cast<int>(textureIds.size());

    const auto lookup = content.levelTexture;
    content.sheets.push_back({sheetName, [ids = textureIds, lookup, prefix = texturePrefix] {
                                  std::vector<DictionaryTexture> textures;
                                  for (int id : ids) {
                                      std::optional<RgbaImage> image;
                                      try {
                                          image = lookup(id);
                                      } catch (const VeldrinError&) {
                                          continue; // the thumbnails show such a texture as missing too
                                      }
                                      if (!image) continue;
                                      bool alpha = false;
                                      for (std::size_t i = 3; i < image->pixels.size(); i += 4) alpha |= image->pixels[i] != 255;
                                      textures.push_back({textureName(prefix, id), image->width, image->height, alpha, image->pixels});
                                  }
                                  return SheetTextures{std::move(textures), {}};
                              }});
    record.counts.placements = static_cast<int>(points.size());
    content.mapPoints = std::move(points);
    return content;
}

} // namespace veldrin
