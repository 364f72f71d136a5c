#include "collision/ColMapSources.h"

#include "base/ByteReader.h"
#include "base/Error.h"
#include "collision/Col2Index.h"
#include "collision/StoriesColReader.h"
#include "level/ImgArchive.h"
#include "level/Rotation.h"

namespace veldrin {

namespace {

constexpr int64_t kModelCountAt = 56;
constexpr int64_t kModelTableAt = 60;
constexpr int64_t kInfoColOffsetAt = 20;
constexpr int64_t kPoolLastIndexAt = 12;
constexpr int64_t kInstanceSize = 96;
constexpr int64_t kInstancePositionAt = 48;
constexpr int64_t kInstanceModelAt = 88;

const char* poolName(DtzPool pool) {
    switch (pool) {
    case DtzPool::Buildings: return "buildings";
    case DtzPool::Treadables: return "treadables";
    case DtzPool::Dummies: return "dynamic objects";
    }
    return "";
}

std::string plural(int64_t n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

} // namespace

std::string colModelLabel(std::size_t index, const ColMapModel& model) {
    return "Collision model " + std::to_string(index) + (model.inImg ? " in the IMG" : " in GAME.DTZ");
}

std::vector<ColMapModel> readDtzModelTable(std::span<const uint8_t> dtz) {
    const ByteReader r(dtz, "GAME.DTZ");
    const uint32_t count = r.u32(kModelCountAt, "model count");
    const int64_t table = r.u32(kModelTableAt, "model table offset");
    // The whole table is checked first, so a wild count allocates nothing.
    const std::span<const uint8_t> entries = r.slice(table, int64_t(count) * 4, "model table");
    std::vector<ColMapModel> models(count);
    for (std::size_t i = 0; i < models.size(); ++i) {
        const uint32_t info = loadU32(entries.data() + 4 * i);
        if (info == 0) continue;
        const int64_t at = int64_t(info) + kInfoColOffsetAt;
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
    for (int64_t s = 0; s < sectors; ++s) {
        const int64_t base = s * static_cast<int64_t>(kImgSectorSize);
        if (!startsCol2(img, base) || r.u32(base + 4) != 0) continue;
        const std::string what = "IMG: the collision file at sector " + std::to_string(s);
        int64_t skipped = 0;
        int64_t firstBad = 0;
        for (const Col2IndexEntry& e : readCol2Index(img, base, what)) {
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
        m.isEmpty = checkColEmpty(m.inImg ? img : dtz, m.colOffset, edition, colModelLabel(i, m));
    }
}

void collectPool(std::span<const uint8_t> dtz, DtzPool pool, std::vector<ColMapModel>& models,
                 std::vector<ColMapInstance>& instances, const WarningSink& warn) {
    const std::string name = poolName(pool);
    const ByteReader r(dtz, "GAME.DTZ");
    const int64_t header = r.u32(static_cast<int64_t>(pool), name + " pool offset");
    const int64_t array = r.u32(header, name + " pool entries offset");
    const int32_t last = r.i32(header + kPoolLastIndexAt, name + " pool size");
    // The pool holds last + 1 entries; a negative last index leaves it empty.
    const int64_t count = last < 0 ? 0 : int64_t(last) + 1;
    const std::span<const uint8_t> entries = r.slice(array, count * kInstanceSize, name + " pool entries");

    int64_t skipped = 0;
    int64_t firstBad = 0;
    for (int64_t k = 0; k < count; ++k) {
        const uint8_t* e = entries.data() + k * kInstanceSize;
        const uint16_t model = loadU16(e + kInstanceModelAt);
        if (model >= models.size()) {
            if (skipped++ == 0) firstBad = model;
            continue;
        }
        ColMapModel& m = models[model];
        if (m.colOffset == 0 || m.isEmpty) continue;
        const ByteReader entry(std::span<const uint8_t>(e, kInstanceSize), name + " pool entry");
        std::array<float, 9> rows{};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) rows[row * 3 + col] = entry.f32(16 * row + 4 * col);
        ColMapInstance instance;
        instance.model = model;
        for (int i = 0; i < 3; ++i) instance.position[i] = entry.f32(kInstancePositionAt + 4 * i);
        instance.rotation = decodeMatrix(rows).rotation;
        instances.push_back(instance);
        m.isUsed = true;
    }
    if (skipped > 0 && warn) {
        warn("GAME.DTZ: " + plural(skipped, "instance") + " of the " + name + " pool with a model index outside the model table (" +
             plural(static_cast<int64_t>(models.size()), "model") + ", first " + std::to_string(firstBad) + ") skipped");
    }
}

} // namespace veldrin
