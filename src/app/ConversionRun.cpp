#include "app/ConversionRun.h"

#include <filesystem>
#include <optional>

#include "app/ModelPlan.h"
#include "app/TxdGrouping.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/ParallelFor.h"
#include "base/TextUtil.h"
#include "collision/BlankCol.h"
#include "pcout/IdeIpl.h"
#include "level/LevelInput.h"
#include "pcout/OutputSink.h"
#include "level/WorldReader.h"
#include "model/ModelConverter.h"
#include "texture/TextureDictionary.h"
#include "level/ZonFile.h"

namespace veldrin {

namespace {

std::array<float, 3> parseMapOffset(const ConversionOptions& o) {
    std::array<float, 3> offset{};
    for (int axis = 0; axis < 3; ++axis) {
        const auto v = parseDecimal(o.mapOffsetText[axis]);
        if (!v) throw VeldrinError(kInvalidMapOffsetMessage);
        offset[axis] = static_cast<float>(*v);
    }
    return offset;
}

// Pairs instances that share an id, drops those outside the chosen island, and marks used models.
void pairAndFilter(WorldTables& t, const ConversionOptions& o, const ZoneTable* zones) {
    for (PlacedInstance& slot : t.instances) {
        if (!slot.defined) continue;
        ModelRecord& model = t.models[slot.model];
        if (slot.pairModel >= 0) {
            model.pairResource = t.resources[slot.pairModel].position;
            model.drawLast = true;
        }
        if (zones && !model.megaLod) slot.defined = checkIPL(*zones, o.zonIsland, slot.position[0], slot.position[1], slot.position[2]);
        if (zones && !o.forceMegaLods && model.megaLod) slot.defined = false;
        if (slot.defined) model.used = true;
    }
}

class Run {
public:
    Run(const ConversionOptions& o, const RunCallbacks& cb) : o_(o), cb_(cb), nextId_(o.idOffset) {}

    RunSummary execute() {
        level_ = loadLevel(o_.lvzPath, o_.imgPath, cb_.status);
        std::optional<ZoneTable> zones;
        if (o_.useZon) {
            if (std::filesystem::exists(o_.zonPath)) zones = readZoneTable(readWholeFile(o_.zonPath), o_.zonPath.string());
            else warn(o_.zonPath.string() + " not found; the island filter is off");
        }
        status("Loading database...");
        const std::array<float, 3> mapOffset = parseMapOffset(o_);
        tables_ = readWorld(level_, o_.gameVersion);
        if (tables_.stats.skippedResourceIndices > 0) {
            warn(std::to_string(tables_.stats.skippedResourceIndices) +
                 " resource index(es) at or above the resource count were skipped");
        }
        pairAndFilter(tables_, o_, zones ? &*zones : nullptr);
        const std::vector<PlannedModel> plan = planModels(level_, tables_, o_);
        checkOutputNames(o_, plan);
        maximum_ = std::max(0, tables_.resourceCount - 1);
        progress(0);

        sink_.emplace(o_.levelFolder(), o_.buildImg ? OutputSink::Mode::Archive : OutputSink::Mode::Files);
        std::string ide = o_.generateIde ? ideHead(o_.levelName) : std::string();
        TextureList textures;
        std::vector<uint8_t> collision;
        TxdGrouping grouping(o_, [&](const std::string& name, const std::string& shown, const TextureList& list) {
            buildDictionary(name, shown, list);
        });

        convertModels(plan, [&](const PlannedModel& p, ModelOutput& out) {
            ModelRecord& m = tables_.models[p.resourceIndex];
            sink_->put(p.name + ".dff", p.name + ".dff", out.dff);
            if (o_.generateIde) {
                m.ideId = nextId_++;
                m.hasIdeId = true;
                ide += ideObjsLine(m.ideId, p.name, grouping.ideDictionaryName(p.name), m.drawDistance,
                                   ideObjectFlags(m.drawLast, o_.targetGame));
            }
            for (int id : out.textureIds) textures.insert(std::to_string(id));
            progress(p.resourceIndex);
            if (o_.genBlankCol) writeBlankCol(collision, o_.targetGame, p.name, out.boundsMin, out.boundsMax);
            ++summary_.modelsConverted;
            grouping.afterModel(p.name, textures);
        });
        if (summary_.stopped) return summary_;
        grouping.afterModelLoop(textures);
        progress(maximum_);

        if (o_.generateIde) {
            status("Building " + o_.levelName + ".ipl");
            writeIdeAndIpl(ide, mapOffset);
        }
        grouping.atEndOfRun(textures);
        if (o_.buildImg && o_.targetGame == TargetGame::GtaSa) status("Building " + toUpper(o_.levelName) + ".IMG");
        std::optional<std::span<const uint8_t>> col;
        if (o_.genBlankCol) col = std::span<const uint8_t>(collision);
        sink_->finish(o_.levelName, o_.targetGame, col);
        status(kAllDoneMessage);
        return summary_;
    }

private:
    // Converts the planned models on several threads, a window at a time, and commits them in
    // resource order, so the output never depends on the thread count.
    template <typename Commit>
    void convertModels(const std::vector<PlannedModel>& plan, Commit&& commit) {
        const std::size_t window = static_cast<std::size_t>(std::max(1, o_.jobs)) * 8;
        std::vector<ModelOutput> outputs;
        std::vector<std::exception_ptr> errors;
        for (std::size_t start = 0; start < plan.size(); start += window) {
            const std::size_t count = std::min(window, plan.size() - start);
            outputs.assign(count, ModelOutput{});
            parallelFor(count, o_.jobs, [&](std::size_t i) { outputs[i] = convertOne(plan[start + i]); }, errors);
            for (std::size_t i = 0; i < count; ++i) {
                if (cb_.stopRequested && cb_.stopRequested()) {
                    summary_.stopped = true;
                    return;
                }
                const PlannedModel& p = plan[start + i];
                status("Processing " + p.name + ".dff");
                if (errors[i]) std::rethrow_exception(errors[i]);
                if (!outputs[i].produced) {
                    ++summary_.modelsSkipped;
                    if (!outputs[i].skipReason.empty()) warn(outputs[i].skipReason);
                    continue;
                }
                commit(p, outputs[i]);
                outputs[i] = ModelOutput{};
            }
        }
    }

    ModelOutput convertOne(const PlannedModel& p) const {
        const ModelRecord& m = tables_.models[p.resourceIndex];
        ModelParams params;
        params.edition = o_.gameVersion;
        params.target = o_.targetGame;
        params.modelName = p.name;
        params.texturePrefix = o_.texturePrefix;
        params.scale = m.scale;
        params.optimiseMesh = o_.optimiseMesh;
        params.nightPrelit = o_.genNightPrelit;
        params.dayMinimum = o_.prelightDayMinimum;
        params.nightMinimum = o_.prelightNightMinimum;
        return convertModel(level_.all(), tables_.resources[p.resourceIndex].position, m.pairResource, params);
    }

    void buildDictionary(const std::string& name, const std::string& shownName, const TextureList& list) {
        status("Building " + shownName);
        std::vector<TextureRef> refs;
        for (const std::string& text : list) {
            const auto index = parseInteger(text);
            if (!index || *index < 0 || *index >= tables_.resourceCount ||
                tables_.resources[static_cast<std::size_t>(*index)].position == 0) {
                warn("texture " + text + " is not in the level; dictionary " + name + " leaves it out");
                continue;
            }
            const ResourceEntry& e = tables_.resources[static_cast<std::size_t>(*index)];
            refs.push_back(TextureRef{static_cast<int>(*index), e.position, e.base});
        }
        TxdParams params;
        params.target = o_.targetGame;
        params.edition = o_.gameVersion;
        params.texturePrefix = o_.texturePrefix;
        params.genMipMaps = o_.genMipMaps;
        params.mipMapThreshold = o_.mipMapThreshold;
        params.jobs = o_.jobs;
        const std::vector<uint8_t> txd = makeTxd(level_.all(), refs, params);
        sink_->put(name + ".TXD", name + ".txd", txd);
        ++summary_.dictionaries;
    }

    void writeIdeAndIpl(std::string& ide, const std::array<float, 3>& mapOffset) {
        ide += ideTail();
        std::string ipl = iplHead(o_.levelName);
        const std::array<double, 3> offset{mapOffset[0], mapOffset[1], mapOffset[2]};
        const std::string lod = o_.lodPrefix();
        for (const PlacedInstance& slot : tables_.instances) {
            if (!slot.defined) continue;
            const ModelRecord& m = tables_.models[slot.model];
            if (!m.hasIdeId) continue;
            IplInstance line;
            line.id = m.ideId;
            line.name = modelName(m, slot.model, o_.modelPrefix, lod);
            line.position = offsetPosition(slot.position, offset);
            line.rotation = slot.rotation;
            ipl += iplInstanceLine(o_.targetGame, line);
            ++summary_.instancesWritten;
        }
        ipl += iplTail();
        ensureFolder(o_.levelFolder());
        writeWholeFile(o_.levelFolder() / (o_.levelName + ".ide"), ide);
        writeWholeFile(o_.levelFolder() / (o_.levelName + ".ipl"), ipl);
    }

    void status(const std::string& text) const {
        if (cb_.status) cb_.status(text);
    }
    void progress(int position) const {
        if (cb_.progress) cb_.progress(position, maximum_);
    }
    void warn(const std::string& text) {
        ++summary_.warnings;
        if (cb_.warning) cb_.warning(text);
    }

    const ConversionOptions& o_;
    const RunCallbacks& cb_;
    LevelBuffer level_;
    WorldTables tables_;
    std::optional<OutputSink> sink_;
    RunSummary summary_;
    int nextId_;
    int maximum_ = 0;
};

} // namespace

RunSummary runConversion(const ConversionOptions& options, const RunCallbacks& callbacks) {
    return Run(options, callbacks).execute();
}

} // namespace veldrin
