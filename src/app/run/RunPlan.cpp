#include "app/run/RunPlan.h"

#include "app/run/DictionaryAssignment.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "base/TextureName.h"
#include "model/GeometryDecoder.h"
#include "model/ModelConverter.h"

namespace veldrin {

namespace {

// Per model: the second part a pairing gives it, whether it is drawn last, whether a placement survives.
struct ModelUse {
    int64_t secondPart = 0;
    bool paired = false;
    bool used = false;
};

bool survivesZoneFilter(const ModelRecord& model, const PlacedInstance& slot, const ConversionOptions& o,
                        const ZoneTable& zones) {
    if (model.megaLod) return o.forceMegaLods;
    return isInsideIsland(zones, o.zonIsland.value_or(-1), slot.position[0], slot.position[1], slot.position[2]);
}

} // namespace

RunPlan planRun(const LevelBuffer& level, const WorldTables& t, const ConversionOptions& o, const ZoneTable* zones) {
    RunPlan plan;
    std::vector<ModelUse> uses(t.models.size());
    for (const PlacedInstance& slot : t.instances) {
        if (!slot.defined) continue;
        ModelUse& use = uses[static_cast<std::size_t>(slot.model)];
        if (slot.pairModel >= 0) {
            use.secondPart = t.resources[static_cast<std::size_t>(slot.pairModel)].position;
            use.paired = true;
        }
        if (zones && !survivesZoneFilter(t.models[static_cast<std::size_t>(slot.model)], slot, o, *zones)) continue;
        use.used = true;
        plan.instances.push_back({slot.model, slot.position, slot.rotation});
    }

    const std::string lod = o.lodPrefix();
    const int64_t levelBytes = static_cast<int64_t>(level.all().size());
    int64_t geometryBytes = 0;
    for (int r = 0; r < t.resourceCount; ++r) {
        const ModelRecord& m = t.models[static_cast<std::size_t>(r)];
        const ResourceEntry& e = t.resources[static_cast<std::size_t>(r)];
        const ModelUse& use = uses[static_cast<std::size_t>(r)];
        if (e.position == 0 || !m.instanced || m.isPairModel || !use.used) continue;
        ModelFootprint footprint = readModelFootprint(level.all(), e.position, use.secondPart, o.edition);
        if (footprint.textureIds.empty()) continue; // no materials in the first part: nothing to convert
        geometryBytes += footprint.geometryBytes;
        if (geometryBytes > geometryReadBound(levelBytes)) throw VeldrinError(sharedGeometryMessage(levelBytes));
        plan.models.push_back({r, modelName(m, r, o.modelPrefix, lod), e.position, use.secondPart,
                               m.drawLast || use.paired, m.drawDistance, m.scale, std::move(footprint.textureIds)});
    }
    return plan;
}

namespace {

// `fix` says which choice makes the name shorter.
void requireLength(const std::string& name, std::size_t limit, const std::string& what, const std::string& fix) {
    if (name.size() > limit) {
        throw VeldrinError(what + " \"" + name + "\" is longer than " + std::to_string(limit) + " characters; " + fix);
    }
}

const char* const kShorterModelPrefix = "choose a shorter model prefix (--model-prefix)";
const char* const kShorterLevelName = "the name comes from the level's file name: rename the LVZ and IMG to a shorter name";

} // namespace

std::vector<DictionaryPlan> plannedDictionaries(const std::vector<PlannedModel>& models, const ConversionOptions& options) {
    std::vector<CommittedModel> all;
    all.reserve(models.size());
    for (const PlannedModel& p : models) all.push_back({p.resourceIndex, p.name, p.textureIds});
    return assignDictionaries(all, options);
}

void checkOutputNames(const ConversionOptions& options, const std::vector<PlannedModel>& models) {
    for (const PlannedModel& p : models) {
        for (int id : p.textureIds) requireTextureNameLength(textureName(options.texturePrefix, id));
        if (options.genBlankCol) requireLength(p.name, kMaxColModelNameLength, "Model name (collision record)", kShorterModelPrefix);
        if (options.buildImg) requireLength(p.name + ".dff", kMaxImgEntryNameLength, "IMG entry name", kShorterModelPrefix);
    }
    if (!options.buildImg) return;
    // Every dictionary the plan can lead to: fewer committed models only mean fewer, shorter-numbered ones.
    for (const DictionaryPlan& d : plannedDictionaries(models, options))
        requireLength(d.entryName(), kMaxImgEntryNameLength, "IMG entry name",
                      options.onePerModel() ? kShorterModelPrefix : kShorterLevelName);
    if (options.genBlankCol && options.targetGame == TargetGame::GtaSa)
        requireLength(toUpper(options.levelName) + ".COL", kMaxImgEntryNameLength, "IMG entry name", kShorterLevelName);
}

} // namespace veldrin
