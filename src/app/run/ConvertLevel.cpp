#include "app/run/LevelRun.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>

#include "app/run/DictionaryAssignment.h"
#include "app/detect/EditionDetection.h"
#include "app/run/Preflight.h"
#include "app/run/RunPlan.h"
#include "app/run/RunReport.h"
#include "app/run/SceneModelOf.h"
#include "report/LevelContent.h"
#include "report/Sha256.h"
#include "app/run/StageParams.h"
#include "app/run/StaleFiles.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/OrderedPipeline.h"
#include "base/ParallelFor.h"
#include "base/TextUtil.h"
#include "collision/BlankCol.h"
#include "gltf/GlbFile.h"
#include "level/LevelInput.h"
#include "level/WorldReader.h"
#include "level/ZonFile.h"
#include "model/ModelConverter.h"
#include "pcout/IdeIpl.h"
#include "pcout/OutputSink.h"
#include "texture/TextureDictionary.h"

namespace veldrin {

namespace {

// One conversion, as named steps over data that only flows forward: the prepared level and its tables
// stay const, and each committed model adds to the run's own state (its IDE id, its textures, its
// collision record) in resource order.
class Run {
public:
    Run(PreparedLevel&& prepared, const RunCallbacks& cb)
        : p_(std::move(prepared)), o_(p_.options), cb_(cb),
          sink_(o_.levelFolder(), o_.levelName, o_.buildImg ? OutputSink::Mode::Archive : OutputSink::Mode::Files) {}

    RunSummary execute() {
        started_ = std::chrono::steady_clock::now();
        begin();
        convertModels();
        if (summary_.stopped) return summary_;
        writeIndexFiles();
        finish();
        return summary_;
    }

private:
    // What the preparation found, the old output removed when asked, and the plan's dictionaries and
    // archive laid out before the first model.
    void begin() {
        report_.editionDetected = p_.editionDetected;
        if (p_.zones) {
            summary_.island = o_.zonIsland;
            summary_.smallestIsland = p_.smallestIsland;
        }
        for (const RunWarning& w : p_.warnings) count(w);
        if (o_.clean) {
            cleanLevelFolder(o_.outputFolder, o_.levelName, {o_.lvzPath, o_.imgPath, o_.zonPath});
            if (o_.writeReport) cleanLevelFolder(o_.outputFolder, o_.levelName + "-report", {o_.lvzPath, o_.imgPath, o_.zonPath});
        }
        removeAbandonedTemporaryFiles(o_.levelFolder());
        before_ = folderEntries(o_.levelFolder());
        const std::vector<DictionaryPlan>& dictionaries = p_.dictionaries;
        if (o_.buildImg) sink_.planArchive(o_.targetGame, plannedArchiveEntries(dictionaries));
        // The report's hash of the archive is taken as the archive is written, beside the conversion,
        // instead of reading it all back afterwards (not for GTA SA, whose header comes last).
        if (o_.writeReport && o_.buildImg) {
            auto hash = std::make_shared<Sha256Stream>();
            if (sink_.watchArchive(o_.targetGame, [hash](std::span<const uint8_t> bytes) { hash->add(bytes); })) archiveHash_ = hash;
        }
        if (o_.generateIde) ideIds_.assign(static_cast<std::size_t>(p_.tables.resourceCount), -1);
        // The written level is kept model by model; its list is made once, not regrown and moved.
        if (o_.keepsWrittenLevel()) report_.sceneModels.reserve(p_.plan.models.size());
        if (o_.writeReport) {
            report_.models.reserve(p_.plan.models.size());
            report_.fileHashes.reserve(p_.plan.models.size() + 16); // the models, dictionaries and index files
        }
        maximum_ = plannedWork(dictionaries);
        progress(0);
        if (o_.generateIde) ide_ = ideHead(o_.levelName);
    }

    // Converts the planned models on several threads and commits them in resource order as they come,
    // so the output never depends on the thread count.
    void convertModels() {
        const std::vector<PlannedModel>& plan = p_.plan.models;
        // 32 models a thread may wait to be committed: enough that no thread idles while the outputs
        // held stay a few hundred kilobytes.
        const std::size_t ahead = static_cast<std::size_t>(std::max(1, o_.jobs)) * 32;
        // Most models take microseconds: a thread takes several at a time.
        constexpr std::size_t kModelsPerClaim = 8;
        // A model's error is carried to its turn, so a stop request and its status line come first.
        struct Converted {
            ModelOutput output;
            std::exception_ptr error;
            std::string sha256;               // for the report, taken on the worker
            std::optional<SceneModel> scene;  // the model as written, made on the worker
        };
        orderedPipeline<Converted>(
            plan.size(), o_.jobs, ahead,
            [&](std::size_t i) {
                try {
                    Converted converted{convertOne(plan[i]), nullptr, {}, {}};
                    if (o_.writeReport && converted.output.produced) converted.sha256 = sha256Hex(converted.output.dff);
                    if (converted.output.written) {
                        converted.scene = sceneModelOf(std::move(*converted.output.written));
                        converted.output.written.reset();
                    }
                    return converted;
                } catch (...) {
                    return Converted{ModelOutput{}, std::current_exception(), {}, {}};
                }
            },
            [&](std::size_t i, Converted&& converted) {
                if (cb_.stopRequested && cb_.stopRequested()) {
                    summary_.stopped = true;
                    return false;
                }
                const PlannedModel& p = plan[i];
                status("Processing " + p.name + ".dff");
                if (converted.error) std::rethrow_exception(converted.error);
                ModelOutput& output = converted.output;
                ++done_;
                if (!output.produced) {
                    progress(done_);
                    ++summary_.modelsSkipped;
                    ++report_.modelsSkipped;
                    if (!output.skipReason.empty()) warn(WarningKind::ModelTooLarge, output.skipReason);
                    return true;
                }
                if (!converted.sha256.empty()) report_.fileHashes.emplace(p.name + ".dff", std::move(converted.sha256));
                commitModel(p, output, std::move(converted.scene));
                return true;
            },
            kModelsPerClaim);
        if (summary_.stopped) return;
        // The group after the last full one is always built, empty or not.
        if (o_.txdMode == TxdMode::TxdPerGroup && !o_.onePerModel()) buildDictionary(dictionaryAt(committed_.size(), committed_, o_));
    }

    ModelOutput convertOne(const PlannedModel& p) const {
        return convertModel(p_.level.all(), p.firstPart, p.secondPart, modelParamsFor(o_, p));
    }

    // The progress bar counts models and the textures of each dictionary.
    int plannedWork(const std::vector<DictionaryPlan>& dictionaries) const {
        std::size_t work = p_.plan.models.size();
        for (const DictionaryPlan& d : dictionaries) work += d.textureIds.size();
        return static_cast<int>(std::min<std::size_t>(work, std::numeric_limits<int>::max()));
    }

    // Models, dictionaries and the GTA SA collision entry.
    int32_t plannedArchiveEntries(const std::vector<DictionaryPlan>& dictionaries) const {
        const bool collisionEntry = o_.genBlankCol && o_.targetGame == TargetGame::GtaSa;
        return static_cast<int32_t>(std::min<std::size_t>(p_.plan.models.size() + dictionaries.size() + (collisionEntry ? 1 : 0),
                                                          std::numeric_limits<int32_t>::max()));
    }

    void commitModel(const PlannedModel& p, ModelOutput& out, std::optional<SceneModel> scene) {
        const std::size_t commitIndex = committed_.size();
        const int id = o_.idOffset + static_cast<int>(commitIndex);
        // The dictionary the model's IDE line names, which its report row and scene model show too.
        const std::string dictionary = o_.generateIde || o_.keepsWrittenLevel() ? ideDictionaryName(commitIndex, p.name, o_) : std::string();
        // The report's row, with the counts of the model as written.
        std::optional<ReportModel> row;
        if (o_.writeReport) {
            row = ReportModel{p.name, p.firstPart, p.secondPart, p.scale, std::nullopt, dictionary};
            if (o_.generateIde) row->ideId = id;
            row->bytes = static_cast<int64_t>(out.dff.size());
        }
        if (scene) {
            SceneModel& m = report_.sceneModels.emplace_back(std::move(*scene));
            if (row) {
                row->triangles = static_cast<int>(m.triangles.size());
                row->vertices = static_cast<int>(m.positions.size());
            }
            m.ideId = o_.generateIde ? id : -1;
            m.dictionary = o_.txdMode == TxdMode::NoTxd ? std::string() : dictionary;
            m.lod = placementKind(p_.tables.models[static_cast<std::size_t>(p.resourceIndex)]) != PlacementKind::Model;
        }
        sink_.put(p.name + ".dff", p.name + ".dff", std::move(out.dff));
        if (o_.generateIde) {
            ideIds_[static_cast<std::size_t>(p.resourceIndex)] = id;
            ide_ += ideObjsLine(id, p.name, dictionary, p.drawDistance, ideObjectFlags(p.drawLast, o_.targetGame));
        }
        committed_.push_back({p.resourceIndex, p.name, out.textureIds});
        if (row) report_.models.push_back(std::move(*row));
        progress(done_);
        if (o_.genBlankCol) writeBlankCol(collision_, o_.targetGame, p.name, out.boundsMin, out.boundsMax);
        ++summary_.modelsConverted;
        if (closesDictionary(commitIndex, o_)) buildDictionary(dictionaryAt(commitIndex, committed_, o_));
    }

    // The IDE and IPL files: one objs line per committed model, one inst line per surviving placement
    // of a committed model, in instance id order, moved by the map offset. The placements' lines are
    // made on the run's threads, a run of placements each, and joined in order.
    void writeIndexFiles() {
        if (!o_.generateIde) return;
        status("Building " + o_.levelName + ".ipl");
        ide_ += ideTail();
        const std::span<const PlannedInstance> instances = p_.plan.instances;
        constexpr std::size_t kPlacementsPerPart = 2048;
        const std::size_t parts = std::max<std::size_t>(1, (instances.size() + kPlacementsPerPart - 1) / kPlacementsPerPart);
        std::vector<PlacementLines> made(parts);
        std::vector<std::exception_ptr> errors;
        parallelFor(parts, o_.jobs, [&](std::size_t k) {
            placementLines(instances.subspan(k * kPlacementsPerPart, std::min(kPlacementsPerPart, instances.size() - k * kPlacementsPerPart)), made[k]);
        }, errors);
        rethrowFirst(errors);
        std::string ipl = iplHead(o_.levelName);
        std::size_t length = ipl.size() + iplTail().size();
        for (const PlacementLines& part : made) length += part.text.size();
        ipl.reserve(length);
        for (PlacementLines& part : made) {
            ipl += part.text;
            report_.placements.insert(report_.placements.end(), part.points.begin(), part.points.end());
            std::move(part.scene.begin(), part.scene.end(), std::back_inserter(report_.scenePlacements));
            summary_.instancesWritten += part.written;
        }
        ipl += iplTail();
        sink_.putLoose(o_.levelName + ".ide", ide_);
        sink_.putLoose(o_.levelName + ".ipl", ipl);
    }

    struct PlacementLines {
        std::string text;
        std::vector<MapPoint> points;              // for the report
        std::vector<ScenePlacementInput> scene;    // for the report's and the glTF file's scene
        int written = 0;
    };

    void placementLines(std::span<const PlannedInstance> instances, PlacementLines& out) const {
        out.text.reserve(instances.size() * 96); // a line is some 85 characters
        for (const PlannedInstance& instance : instances) {
            const std::size_t model = static_cast<std::size_t>(instance.model);
            if (model >= ideIds_.size() || ideIds_[model] < 0) continue;
            IplInstance line;
            line.id = ideIds_[model];
            line.name = modelName(p_.tables.models[model], instance.model, o_.modelPrefix, o_.lodPrefix());
            line.position = offsetPosition(instance.position, o_.mapOffset);
            line.rotation = instance.rotation;
            appendIplInstanceLine(out.text, o_.targetGame, line);
            if (o_.writeReport) out.points.push_back({line.position[0], line.position[1], placementKind(p_.tables.models[model]), line.name});
            if (o_.keepsWrittenLevel()) out.scene.push_back({line.name, line.position, line.rotation});
            ++out.written;
        }
    }

    // The level's one dictionary, then the archive and the collision file.
    void finish() {
        if (o_.txdMode == TxdMode::OneBigTxd) buildDictionary(dictionaryAt(0, committed_, o_));
        if (summary_.stopped) return; // the archive under way is removed with the sink
        if (o_.writeGltf) writeGltf();
        if (o_.buildImg && o_.targetGame == TargetGame::GtaSa) status("Building " + toUpper(o_.levelName) + ".IMG");
        std::optional<std::span<const uint8_t>> col;
        if (o_.genBlankCol) col = std::span<const uint8_t>(collision_);
        sink_.finish(o_.targetGame, col);
        if (archiveHash_) report_.fileHashes.emplace(sink_.archiveFileName(), archiveHash_->hex());
        summary_.files = sink_.written();
        summary_.staleFiles = staleEntries(before_, summary_.files).size();
        if (summary_.staleFiles > 0) warn(WarningKind::StaleFiles, staleFilesWarning(o_.levelFolder(), summary_.staleFiles));
        progress(maximum_);
        if (o_.writeReport) writeReport();
        status(kAllDoneMessage);
    }

    // LevelName.glb: the level as written (models, dictionaries, placements) in one file.
    void writeGltf() {
        status("Building " + o_.levelName + ".glb");
        std::vector<std::string> problems;
        Scene scene = buildScene(o_.levelName, std::move(report_.sceneModels), sceneDictionaries(report_.dictionaries),
                                 report_.scenePlacements, problems);
        for (const std::string& problem : problems) warn(WarningKind::Other, o_.levelName + ".glb leaves out " + problem);
        sink_.putLoose(o_.levelName + ".glb", writeGlb(scene));
        // The report shows the same models afterwards (its scene looks their textures up again).
        if (o_.writeReport) report_.sceneModels = std::move(scene.models);
    }

    // The report folder beside the level's output, drawn on the run's threads.
    void writeReport() {
        status("Building " + o_.levelName + "-report");
        report_.files = summary_.files;
        report_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        try {
            summary_.reportFolder = writeRunReport(o_, p_.level, p_.tables, p_.zones ? &*p_.zones : nullptr, std::move(report_));
        } catch (const std::exception& e) {
            // The game files are whole and stay: only their report is missing.
            warn(WarningKind::Report, std::string("the report was not written (") + e.what() +
                                          "); the level's files are complete");
        }
    }

    void buildDictionary(const DictionaryPlan& d) {
        // A dictionary can take most of a run: a stop request is heard before each.
        if (summary_.stopped || (cb_.stopRequested && cb_.stopRequested())) {
            summary_.stopped = true;
            return;
        }
        // One per model shows the entry spelling, as the model's IDE line names it.
        status("Building " + (o_.onePerModel() ? d.entryName() : d.fileName()));
        std::vector<TextureRef> refs;
        for (int id : d.textureIds) {
            if (id < 0 || id >= p_.tables.resourceCount || p_.tables.resources[static_cast<std::size_t>(id)].position == 0) {
                warn(WarningKind::TextureMissing, "texture " + std::to_string(id) + " is not in the level; dictionary " + d.name + " leaves it out");
                continue;
            }
            const ResourceEntry& e = p_.tables.resources[static_cast<std::size_t>(id)];
            refs.push_back(TextureRef{id, e.position, e.base});
        }
        const TxdParams params = txdParamsFor(o_);
        if (o_.keepsWrittenLevel()) {
            // The report draws its sheet from the dictionary as written (and the glTF file its
            // textures), so it is kept in memory.
            auto txd = std::make_shared<const std::vector<uint8_t>>(makeTxd(p_.level.all(), refs, params));
            sink_.put(d.fileName(), d.entryName(), txd);
            report_.textures += static_cast<int>(refs.size());
            report_.dictionaries.push_back({d.name, sink_.written().back().name, std::move(txd)});
        } else {
            sink_.putFrom(d.fileName(), d.entryName(), [&](ByteSink& out) { writeTxd(p_.level.all(), refs, params, out); });
        }
        ++summary_.dictionaries;
        done_ += static_cast<int>(d.textureIds.size());
        progress(done_);
    }

    void status(const std::string& text) const {
        if (cb_.status) cb_.status(text);
    }
    void progress(int position) const {
        if (cb_.progress) cb_.progress(std::min(position, maximum_), maximum_);
    }
    void warn(WarningKind kind, const std::string& text) {
        const RunWarning w{kind, text};
        count(w);
        if (cb_.warning) cb_.warning(kind, text);
    }
    void count(const RunWarning& w) {
        ++summary_.warnings;
        if (o_.writeReport) report_.warnings.push_back(w);
    }

    PreparedLevel p_;
    const ConversionOptions& o_; // the prepared options: the edition settled, the island chosen
    const RunCallbacks& cb_;
    OutputSink sink_;
    std::vector<std::string> before_; // what the level folder held before the run
    std::vector<CommittedModel> committed_;
    std::vector<int> ideIds_; // by resource index; -1: no IDE line
    std::string ide_;
    std::vector<uint8_t> collision_;
    RunSummary summary_;
    RunReportInput report_;
    std::shared_ptr<Sha256Stream> archiveHash_; // fed by the archive's writer thread until the sink finishes
    std::chrono::steady_clock::time_point started_;
    int maximum_ = 0; // models and dictionary textures planned
    int done_ = 0;    // of them, converted, skipped or written
};

} // namespace

RunSummary convertLevel(PreparedLevel level, const RunCallbacks& callbacks) {
    return Run(std::move(level), callbacks).execute();
}

RunSummary runConversion(const ConversionOptions& options, const RunCallbacks& callbacks) {
    return convertLevel(prepareLevel(options, callbacks), callbacks);
}

std::string convertedLine(const RunSummary& summary, const ConversionOptions& options) {
    std::string line = "Converted " + std::to_string(summary.modelsConverted) + " model(s), " +
                       std::to_string(summary.dictionaries) + " texture dictionar" +
                       (summary.dictionaries == 1 ? "y" : "ies");
    // Without the IDE files there are no placements to count: say why rather than "0 placement(s)".
    if (options.generateIde) line += ", " + std::to_string(summary.instancesWritten) + " placement(s)";
    line += " into " + options.levelFolder().string();
    if (!options.generateIde) line += "; no placements: the IDE and IPL files are off";
    return line;
}

} // namespace veldrin
