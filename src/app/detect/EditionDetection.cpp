#include "app/detect/EditionDetection.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/Error.h"
#include "base/ParallelFor.h"
#include "level/WorldReader.h"
#include "model/GeometryDecoder.h"
#include "texture/SourceTexture.h"

namespace veldrin {

namespace {

constexpr GameVersion kEditions[] = {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp};

// A fault costs more than a find earns: a reading that finds much but fails as much is a poor one.
constexpr int64_t kFaultWeight = 2;

// 64-bit FNV-1a over the values the converters would be handed.
class Fingerprint {
public:
    template <typename T>
    void add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 0x100000001B3ull;
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

class ReadingPass {
public:
    ReadingPass(const LevelBuffer& level, GameVersion edition) : level_(level) { r_.edition = edition; }

    EditionReading run() {
        try {
            r_.tables = std::make_shared<WorldTables>(readWorld(level_, r_.edition));
        } catch (const VeldrinError& e) {
            r_.worldRefusal = e.what();
            return r_;
        }
        const WorldTables& t = *r_.tables;
        fingerprint_.add(isPsp(r_.edition));
        r_.skippedIndices = t.stats.skippedResourceIndices;
        r_.cells = t.stats.cells;
        r_.cellsFitting = t.stats.cellsWithListsAfterTable;
        r_.wholeLists = t.stats.wholeRecordLists;
        if (r_.skippedIndices > 0) {
            fault(std::to_string(r_.skippedIndices) + " resource index(es) lie at or above the resource count (" +
                  std::to_string(t.resourceCount) + ")");
        }
        const std::vector<int64_t> pairs = pairPositions(t);
        std::vector<bool> named(0x10000, false); // by the texture id's 16 bits, out-of-range ids included
        std::vector<int> textureIds;
        for (int index = 0; index < t.resourceCount; ++index) {
            readModel(t, index, pairs[static_cast<std::size_t>(index)], named, textureIds);
            // Checking a geometry costs its batches, so models that all name one large geometry would cost
            // the square of the level: the reading stops there, and the run's plan refuses such a level.
            if (geometryRead_ > geometryBound_) break;
        }
        std::sort(textureIds.begin(), textureIds.end());
        for (int id : textureIds) readTexture(t, id);
        // The layout fits are finds only, never faults: they tell editions apart where a level is laid out
        // tightly, and weigh nothing where it is not.
        r_.score = r_.modelsRead + r_.texturesRead + r_.cellsFitting + r_.wholeLists - kFaultWeight * r_.faults();
        r_.fingerprint = fingerprint_.value();
        return r_;
    }

private:
    // Placed instances, and each model's second geometry part as the run pairs them.
    std::vector<int64_t> pairPositions(const WorldTables& t) {
        std::vector<int64_t> pairs(static_cast<std::size_t>(t.resourceCount), 0);
        for (std::size_t id = 0; id < t.instances.size(); ++id) {
            const PlacedInstance& slot = t.instances[id];
            if (!slot.defined) continue;
            ++r_.instances;
            fingerprint_.add(id);
            fingerprint_.add(slot.model);
            fingerprint_.add(slot.pairModel);
            fingerprint_.add(slot.position);
            fingerprint_.add(slot.rotation);
            if (slot.pairModel >= 0) {
                pairs[static_cast<std::size_t>(slot.model)] = t.resources[static_cast<std::size_t>(slot.pairModel)].position;
            }
        }
        return pairs;
    }

    void readModel(const WorldTables& t, int index, int64_t pair, std::vector<bool>& named, std::vector<int>& textureIds) {
        const ModelRecord& m = t.models[static_cast<std::size_t>(index)];
        const ResourceEntry& e = t.resources[static_cast<std::size_t>(index)];
        if (!m.instanced || m.isPairModel || e.position == 0) return;
        ++r_.models;
        std::vector<ModelMaterial> materials;
        try {
            materials = checkGeometry(level_.all(), e.position, pair, r_.edition, "model " + std::to_string(index));
        } catch (const VeldrinError& err) {
            ++r_.modelFaults;
            fault(err.what());
            return;
        }
        if (materials.empty()) return; // nothing to convert: neither a find nor a fault
        geometryRead_ += vertexDataBytes(materials, level_.all().size());
        ++r_.modelsRead;
        fingerprint_.add(index);
        fingerprint_.add(m.drawDistance);
        fingerprint_.add(m.drawLast);
        fingerprint_.add(m.megaLod);
        fingerprint_.add(m.scale);
        fingerprint_.add(pair);
        for (const ModelMaterial& mat : materials) {
            fingerprint_.add(mat.textureId);
            fingerprint_.add(mat.uScale);
            fingerprint_.add(mat.vScale);
            fingerprint_.add(mat.dataOffset);
            fingerprint_.add(mat.dataSize);
            const auto key = static_cast<uint16_t>(mat.textureId);
            if (named[key]) continue;
            named[key] = true;
            textureIds.push_back(mat.textureId);
        }
    }

    void readTexture(const WorldTables& t, int id) {
        ++r_.textures;
        if (id < 0 || id >= t.resourceCount || t.resources[static_cast<std::size_t>(id)].position == 0) {
            ++r_.textureFaults;
            fault("texture " + std::to_string(id) + " is not in the level");
            return;
        }
        const ResourceEntry& e = t.resources[static_cast<std::size_t>(id)];
        try {
            const RasterRecord record = checkSourceTexture(level_.all(), TextureRef{id, e.position, e.base}, r_.edition);
            ++r_.texturesRead;
            fingerprint_.add(id);
            fingerprint_.add(record.dataPosition);
            const TextureParameters& p = record.params;
            for (int64_t v : {int64_t{p.Depth}, int64_t{p.WidthLog2}, int64_t{p.HeightLog2}, int64_t{p.MipCount},
                              int64_t{p.Swizzled}, p.PaletteOffset, int64_t{p.PaletteSize}}) {
                fingerprint_.add(v);
            }
        } catch (const VeldrinError& err) {
            ++r_.textureFaults;
            fault(err.what());
        }
    }

    void fault(const std::string& text) {
        if (r_.firstFault.empty()) r_.firstFault = text;
    }

    const LevelBuffer& level_;
    EditionReading r_;
    Fingerprint fingerprint_;
    const int64_t geometryBound_ = geometryReadBound(static_cast<int64_t>(level_.all().size()));
    int64_t geometryRead_ = 0; // vertex data of the models checked so far
};

std::string listOf(const std::vector<GameVersion>& editions, const char* joint) {
    std::string text;
    for (std::size_t i = 0; i < editions.size(); ++i) {
        if (i > 0) text += i + 1 == editions.size() ? std::string(" and ") + joint : std::string(", ") + joint;
        text += editionName(editions[i]);
    }
    return text;
}

} // namespace

std::string EditionReading::trouble() const {
    if (!worldRefusal.empty()) return worldRefusal;
    if (modelsRead == 0) return "finds no model it can read" + (firstFault.empty() ? std::string() : " (" + firstFault + ")");
    if (faults() == 0) return {};
    const int more = faults() - 1;
    return firstFault + (more > 0 ? " and " + std::to_string(more) + " more fault(s)" : std::string());
}

const EditionReading& EditionDetection::reading(GameVersion edition) const {
    for (const EditionReading& r : ranked)
        if (r.edition == edition) return r;
    throw VeldrinError("edition " + std::string(editionName(edition)) + " was not read");
}

std::vector<GameVersion> EditionDetection::candidates() const {
    std::vector<GameVersion> out;
    std::vector<uint64_t> seen;
    for (const EditionReading& r : ranked) {
        if (!r.readable() || readsClearlyBetter(best(), r)) continue;
        if (std::find(seen.begin(), seen.end(), r.fingerprint) != seen.end()) continue;
        seen.push_back(r.fingerprint);
        out.push_back(r.edition);
    }
    return out;
}

EditionDetection detectEdition(const LevelBuffer& level, int jobs) {
    EditionDetection d;
    d.ranked.resize(std::size(kEditions));
    std::vector<std::exception_ptr> errors;
    parallelFor(std::size(kEditions), jobs, [&](std::size_t i) { d.ranked[i] = ReadingPass(level, kEditions[i]).run(); }, errors);
    rethrowFirst(errors);
    std::stable_sort(d.ranked.begin(), d.ranked.end(), [](const EditionReading& a, const EditionReading& b) {
        if (a.readable() != b.readable()) return a.readable();
        if (a.readable()) return a.score > b.score;
        // Of two editions that read nothing, the one that gets further explains the level better.
        if (a.worldRefusal.empty() != b.worldRefusal.empty()) return a.worldRefusal.empty();
        return a.models > b.models;
    });
    return d;
}

bool readsClearlyBetter(const EditionReading& stronger, const EditionReading& weaker) {
    if (!stronger.readable()) return false;
    if (!weaker.readable()) return true;
    // A quarter of what the stronger reading finds in models and textures (the layout fits, shared by
    // editions of one layout, would only blur it): a damaged level may lose a few finds under its right
    // edition, and a wrong edition that happens to read cleanly still finds far less or fails far more.
    const int64_t margin = std::max<int64_t>(1, (stronger.modelsRead + stronger.texturesRead) / 4);
    return stronger.score - weaker.score > margin;
}

std::string whyBehind(const EditionReading& weaker, const EditionReading& stronger) {
    const std::string trouble = weaker.trouble();
    if (!trouble.empty()) return trouble;
    const bool findsLess = weaker.modelsRead + weaker.texturesRead < stronger.modelsRead + stronger.texturesRead;
    if (!findsLess && weaker.cellsFitting < stronger.cellsFitting) {
        return "its instance list table fits " + std::to_string(weaker.cellsFitting) + " of " +
               std::to_string(weaker.cells) + " cells, where " + std::string(editionName(stronger.edition)) +
               "'s fits " + std::to_string(stronger.cellsFitting);
    }
    return "finds " + std::to_string(weaker.modelsRead) + " model(s) and " + std::to_string(weaker.texturesRead) +
           " texture(s) where " + std::string(editionName(stronger.edition)) + " finds " +
           std::to_string(stronger.modelsRead) + " and " + std::to_string(stronger.texturesRead);
}

std::vector<std::string> otherEditionLines(const EditionDetection& detection, GameVersion used) {
    const EditionReading& chosen = detection.reading(used);
    std::vector<std::string> lines;
    for (const EditionReading& r : detection.ranked) {
        if (r.edition == used) continue;
        const std::string name(editionName(r.edition));
        if (r.readable() && r.fingerprint == chosen.fingerprint) {
            lines.push_back(name + " reads the same");
        } else if (r.readable() && !readsClearlyBetter(chosen, r)) {
            lines.push_back(name + " reads about as well, into different output");
        } else {
            lines.push_back(name + " does not fit: " + whyBehind(r, chosen));
        }
    }
    return lines;
}

std::string editionTitle(GameVersion edition) {
    switch (edition) {
    case GameVersion::LcsPs2: return "LCS PS2";
    case GameVersion::VcsPs2: return "VCS PS2";
    case GameVersion::LcsPsp: return "LCS PSP";
    case GameVersion::VcsPsp: return "VCS PSP";
    }
    return "?";
}

EditionChoice chooseEdition(const EditionDetection& detection, std::optional<GameVersion> named,
                            const std::string& levelFile) {
    EditionChoice choice;
    const EditionReading& best = detection.best();
    if (named) {
        const EditionReading& asNamed = detection.reading(*named);
        if (best.fingerprint != asNamed.fingerprint && readsClearlyBetter(best, asNamed)) {
            choice.candidates = {best.edition};
            choice.refusal = levelFile + " reads as " + std::string(editionName(best.edition)) + ", not " +
                             std::string(editionName(*named)) + " (" + whyBehind(asNamed, best) + ")";
            choice.reason = EditionRefusal::NamedReadsWorse;
            return choice;
        }
        choice.edition = named;
        choice.tables = asNamed.tables;
        return choice;
    }
    if (!best.readable()) {
        choice.refusal = levelFile + " does not read as any edition; the best candidate, " +
                         std::string(editionName(best.edition)) + ", " + best.trouble();
        choice.reason = EditionRefusal::NoEditionReads;
        return choice;
    }
    choice.candidates = detection.candidates();
    if (choice.candidates.size() > 1) {
        choice.refusal = levelFile + ": this level reads as " + listOf(choice.candidates, "as ");
        choice.reason = EditionRefusal::Ambiguous;
        return choice;
    }
    choice.edition = best.edition;
    choice.detected = true;
    choice.tables = best.tables;
    return choice;
}

EditionRefused::EditionRefused(EditionChoice choice)
    : VeldrinError(choice.refusal), choice_(std::move(choice)) {}

EditionChoice settleEdition(const LevelBuffer& level, std::optional<GameVersion> named, const std::string& levelFile,
                            int jobs) {
    EditionChoice choice = chooseEdition(detectEdition(level, jobs), named, levelFile);
    if (!choice.edition) throw EditionRefused(std::move(choice));
    return choice;
}

} // namespace veldrin
