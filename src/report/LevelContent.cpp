#include "report/LevelContent.h"

#include <set>

#include "base/TextureName.h"
#include "model/ModelConverter.h"
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

ThumbnailSource modelThumbnail(std::span<const uint8_t> level, const WorldTables& tables, int resourceIndex,
                               const std::string& name) {
    return {name, [level, &tables, resourceIndex, name] {
                const ModelRecord& m = tables.models[std::size_t(resourceIndex)];
                return readModelPreview(level, tables.resources[std::size_t(resourceIndex)].position, m.pairResource,
                                        tables.edition, m.scale, name);
            }};
}

ReportContent levelContent(std::span<const uint8_t> level, const WorldTables& tables, const LevelNames& names,
                           RunRecord& record, int jobs) {
    ReportContent content;
    content.jobs = jobs;
    content.levelTexture = levelTextureLookup(level, tables.resources, tables.edition);

    // Pairs are only known from the instances: the second part is drawn with its first.
    std::vector<int64_t> pairOf(tables.models.size(), 0);
    for (const PlacedInstance& slot : tables.instances)
        if (slot.defined && slot.pairModel >= 0 && std::size_t(slot.pairModel) < tables.resources.size())
            pairOf[std::size_t(slot.model)] = tables.resources[std::size_t(slot.pairModel)].position;

    std::set<int> textureIds;
    for (int r = 0; r < tables.resourceCount; ++r) {
        const ModelRecord& m = tables.models[std::size_t(r)];
        const int64_t position = tables.resources[std::size_t(r)].position;
        if (position == 0 || !m.instanced || m.isPairModel) continue;
        const std::string name = modelName(m, r, names.modelPrefix, names.lodPrefix);
        const int64_t pair = pairOf[std::size_t(r)];
        content.thumbnails.push_back({name, [level, &tables, r, position, pair, name] {
                                          const ModelRecord& model = tables.models[std::size_t(r)];
                                          return readModelPreview(level, position, pair, tables.edition, model.scale, name);
                                      }});
        try {
            for (int id : readModelTextureIds(level, position, pair, tables.edition)) textureIds.insert(id);
        } catch (const std::runtime_error& e) {
            record.warn("report", "no textures listed for " + name + ": " + e.what());
        }
    }
    record.counts.models = static_cast<int>(content.thumbnails.size());
    record.counts.textures = static_cast<int>(textureIds.size());

    const auto lookup = content.levelTexture;
    content.sheets.push_back({names.sheetName, [ids = std::vector<int>(textureIds.begin(), textureIds.end()), lookup,
                                                prefix = names.texturePrefix] {
                                  std::vector<DictionaryTexture> textures;
                                  for (int id : ids) {
                                      std::optional<RgbaImage> image;
                                      try {
                                          image = lookup(id);
                                      } catch (const std::runtime_error&) {
                                          continue; // the thumbnails show such a texture as missing too
                                      }
                                      if (!image) continue;
                                      bool alpha = false;
                                      for (std::size_t i = 3; i < image->pixels.size(); i += 4) alpha |= image->pixels[i] != 255;
                                      textures.push_back({textureName(prefix, id), image->width, image->height, alpha, image->pixels});
                                  }
                                  return textures;
                              }});

    std::vector<MapPoint> points;
    for (const PlacedInstance& slot : tables.instances) {
        if (!slot.defined) continue;
        points.push_back({slot.position[0], slot.position[1], placementKind(tables.models[std::size_t(slot.model)])});
    }
    record.counts.placements = static_cast<int>(points.size());
    content.mapPoints = std::move(points);
    return content;
}

} // namespace veldrin
