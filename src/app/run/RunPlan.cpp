#include "app/run/RunPlan.h"

#include <atomic>
#include <charconv>
#include <exception>
#include <optional>

#include "app/run/DictionaryAssignment.h"
#include "base/Error.h"
#include "base/ParallelFor.h"
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

// A model's footprint as a reader thread found it: read, refused, or not read (the level had promised
// more geometry than it may before the reader got to it).
struct Footprint {
    std::optional<ModelFootprint> footprint;
    std::exception_ptr error;
};

// The candidates' footprints, read on the run's threads. The plan takes them in resource order, so
// its models and its refusals are those of reading them one by one; the readers only stop early once
// what they have read together passes the geometry bound, which the plan then meets in turn.
std::vector<Footprint> readFootprints(const LevelBuffer& level, const WorldTables& t, const std::vector<ModelUse>& uses,
                                      const std::vector<int>& candidates, const ConversionOptions& o) {
    std::vector<Footprint> footprints(candidates.size());
    const int64_t bound = geometryReadBound(static_cast<int64_t>(level.all().size()));
    std::atomic<int64_t> promised{0};
    std::vector<std::exception_ptr> errors; // none: each reading keeps its own
    parallelFor(candidates.size(), o.jobs, [&](std::size_t i) {
        if (promised.load(std::memory_order_relaxed) > bound) return;
        const std::size_t r = static_cast<std::size_t>(candidates[i]);
        try {
            footprints[i].footprint = readModelFootprint(level.all(), t.resources[r].position, uses[r].secondPart, o.edition);
            if (!footprints[i].footprint->textureIds.empty()) promised += footprints[i].footprint->geometryBytes;
        } catch (...) {
            footprints[i].error = std::current_exception();
        }
    }, errors);
    return footprints;
}

} // namespace

RunPlan planRun(const LevelBuffer& level, const WorldTables& t, const ConversionOptions& o, const ZoneTable* zones) {
    RunPlan plan;
    plan.instances.reserve(t.instances.size());
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
    std::vector<int> candidates; // located, instanced first parts that keep a placement
    for (int r = 0; r < t.resourceCount; ++r) {
        const ModelRecord& m = t.models[static_cast<std::size_t>(r)];
        const ModelUse& use = uses[static_cast<std::size_t>(r)];
        if (t.resources[static_cast<std::size_t>(r)].position != 0 && m.instanced && !m.isPairModel && use.used) candidates.push_back(r);
    }
    const int64_t levelBytes = static_cast<int64_t>(level.all().size());
    std::vector<Footprint> footprints = readFootprints(level, t, uses, candidates, o);
    int64_t geometryBytes = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const int r = candidates[i];
        const ModelRecord& m = t.models[static_cast<std::size_t>(r)];
        const ModelUse& use = uses[static_cast<std::size_t>(r)];
        Footprint& read = footprints[i];
        if (read.error) std::rethrow_exception(read.error);
        // One the readers left when the level had promised too much already is read now, in turn.
        ModelFootprint footprint = read.footprint ? std::move(*read.footprint)
                                                  : readModelFootprint(level.all(), t.resources[static_cast<std::size_t>(r)].position, use.secondPart, o.edition);
        if (footprint.textureIds.empty()) continue; // no materials in the first part: nothing to convert
        geometryBytes += footprint.geometryBytes;
        if (geometryBytes > geometryReadBound(levelBytes)) throw VeldrinError(sharedGeometryMessage(levelBytes));
        plan.models.push_back({r, modelName(m, r, o.modelPrefix, lod), t.resources[static_cast<std::size_t>(r)].position,
                               use.secondPart, m.drawLast || use.paired, m.drawDistance, m.scale, std::move(footprint.textureIds)});
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
    return assignDictionaries(std::span<const PlannedModel>(models), options);
}

void checkOutputNames(const ConversionOptions& options, const std::vector<PlannedModel>& models,
                      const std::vector<DictionaryPlan>& dictionaries) {
    for (const PlannedModel& p : models) {
        // The names are only made to be refused: tens of thousands of models pass.
        for (int id : p.textureIds) {
            char digits[16];
            const std::size_t length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, id).ptr - digits);
            if (options.texturePrefix.size() + length > kMaxTextureNameLength) requireTextureNameLength(textureName(options.texturePrefix, id));
        }
        if (options.genBlankCol) requireLength(p.name, kMaxColModelNameLength, "Model name (collision record)", kShorterModelPrefix);
        if (options.buildImg && p.name.size() + 4 > kMaxImgEntryNameLength)
            requireLength(p.name + ".dff", kMaxImgEntryNameLength, "IMG entry name", kShorterModelPrefix);
    }
    if (!options.buildImg) return;
    // Every dictionary the plan can lead to: fewer committed models only mean fewer, shorter-numbered ones.
    for (const DictionaryPlan& d : dictionaries)
        requireLength(d.entryName(), kMaxImgEntryNameLength, "IMG entry name",
                      options.onePerModel() ? kShorterModelPrefix : kShorterLevelName);
    if (options.genBlankCol && options.targetGame == TargetGame::GtaSa)
        requireLength(toUpper(options.levelName) + ".COL", kMaxImgEntryNameLength, "IMG entry name", kShorterLevelName);
}

} // namespace veldrin
