#include "internal/ColMapSources.h"

#include "base/ByteReader.h"
#include "base/Error.h"
#include "collision/StoriesColReader.h"
#include "internal/Col2Index.h"
#include "level/GameDataPools.h"
#include "pcout/ImgArchive.h"

namespace veldrin {

namespace {

std::string plural(int64_t n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

} // namespace

std::string colModelLabel(std::size_t index, const ColMapModel& model) {
    return "Collision model " + std::to_string(index) + (model.inImg ? " in the IMG" : " in GAME.DTZ");
}

std::vector<ColMapModel> readDtzModelTable(std::span<const uint8_t> dtz) {
    const ByteReader r(dtz, "GAME.DTZ");
    const uint32_t count = r.u32(kGameDataModelCountAt, "model count");
    const int64_t table = r.u32(kGameDataModelTableAt, "model table offset");
    // The whole table is checked first, so a wild count allocates nothing.
    const std::span<const uint8_t> entries = r.slice(table, int64_t(count) * 4, "model table");
    std::vector<ColMapModel> models(count);
    for (std::size_t i = 0; i < models.size(); ++i) {
        const uint32_t info = loadU32(entries.data() + 4 * i);
        if (info == 0) continue;
        const int64_t at = int64_t(info) + kModelInfoColOffsetAt;
        if (!r.contains(at, 4)) {
            throw VeldrinError("GAME.DTZ: the info record of model " + std::to_string(i) + " at offset " +
                               std::to_string(info) + " lies outside the data (" + std::to_string(dtz.size()) + " bytes)");
        }
        models[i].colOffset = r.u32(at);
    }
    return models;
}

void applyImgCollisions(std::vector<ColMapModel>& models, std::span<const uint8_t> img, const WarningSink& warn) {
    const ByteReader r(img, "IMG");
    const int64_t sectors = static_cast<int64_t>(img.size() / kImgSectorSize);
    std::vector<int64_t> starts;
    for (int64_t s = 0; s < sectors; ++s) {
        const int64_t base = s * static_cast<int64_t>(kImgSectorSize);
        if (startsCol2(img, base) && r.u32(base + 4) == 0) starts.push_back(s);
    }
    // Each file's table is read up to the next file only, so the whole scan stays linear in the IMG.
    for (std::size_t f = 0; f < starts.size(); ++f) {
        const int64_t s = starts[f];
        const int64_t base = s * static_cast<int64_t>(kImgSectorSize);
        const int64_t end = f + 1 < starts.size() ? starts[f + 1] * static_cast<int64_t>(kImgSectorSize) : -1;
        const std::string what = "IMG: the collision file at sector " + std::to_string(s);
        int64_t skipped = 0;
        int64_t firstBad = 0;
        for (const Col2IndexEntry& e : readCol2Index(img, base, what, end)) {
            if (e.modelIndex < 0 || static_cast<uint64_t>(e.modelIndex) >= models.size()) {
                if (skipped++ == 0) firstBad = e.modelIndex;
                continue;
            }
            ColMapModel& m = models[static_cast<std::size_t>(e.modelIndex)];
            m.colOffset = e.headerOffset;
            m.sectionBase = base;
            m.inImg = true;
        }
        if (skipped > 0 && warn) {
            warn(what + ": " + std::to_string(skipped) + (skipped == 1 ? " index entry" : " index entries") +
                 " with a model index outside the model table (" + plural(static_cast<int64_t>(models.size()), "model") +
                 ", first " + std::to_string(firstBad) + ") skipped");
        }
    }
}

void markEmptyModels(std::vector<ColMapModel>& models, std::span<const uint8_t> dtz, std::span<const uint8_t> img,
                     StoriesEdition edition) {
    for (std::size_t i = 0; i < models.size(); ++i) {
        ColMapModel& m = models[i];
        if (m.colOffset == 0) continue;
        m.isEmpty = isEmptyColModel(m.inImg ? img : dtz, m.colOffset, edition, colModelLabel(i, m));
    }
}

void collectPool(std::span<const uint8_t> dtz, GameDataPool pool, std::vector<ColMapModel>& models,
                 std::vector<ColMapInstance>& instances, const WarningSink& warn) {
    const std::string name = poolName(pool);
    const std::vector<PoolPlacement> entries = readPlacementPool(ByteReader(dtz, "GAME.DTZ"), pool);
    int64_t skipped = 0;
    int64_t firstBad = 0;
    for (const PoolPlacement& e : entries) {
        if (e.model >= models.size()) {
            if (skipped++ == 0) firstBad = e.model;
            continue;
        }
        ColMapModel& m = models[e.model];
        if (m.colOffset == 0 || m.isEmpty) continue;
        instances.push_back(ColMapInstance{e.model, e.position, e.rotation});
        m.isUsed = true;
    }
    if (skipped > 0 && warn) {
        warn("GAME.DTZ: " + plural(skipped, "instance") + " of the " + name + " pool with a model index outside the model table (" +
             plural(static_cast<int64_t>(models.size()), "model") + ", first " + std::to_string(firstBad) + ") skipped");
    }
}

} // namespace veldrin
