#include "app/install/InstallRun.h"

#include <optional>
#include <set>

#include "app/install/ColMapInstall.h"
#include "app/install/InstallText.h"
#include "app/install/StagedIndexFiles.h"
#include "app/options/RunRecordOptions.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "model/InvisibleModel.h"
#include "pcout/ImgFileWriter.h"
#include "texture/TextureDictionary.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

// The staging folder until the commit takes it over: removed on every way out before that.
class Staging {
public:
    explicit Staging(fs::path path) : path_(std::move(path)) {}
    ~Staging() {
        if (path_.empty()) return;
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    const fs::path& path() const { return path_; }
    fs::path handOver() { return std::exchange(path_, fs::path()); }

private:
    fs::path path_;
};

// One file of the install: a loose file of the install folder, or an entry of its one archive.
struct StagedFile {
    fs::path from;     // where the level run or the collision map wrote it
    std::string entry; // the archive entry's name; empty: a loose file
    std::string loose; // the loose file's name in the install folder
};

std::string extensionOf(const std::string& name) { return toLower(fs::path(name).extension().string()); }

nlohmann::json optionsJson(const ConversionOptions& o) {
    nlohmann::json j = nlohmann::json::object();
    for (const auto& option : recordedOptions(o)) {
        const auto& name = option.first;
        std::visit([&j, &name](const auto& v) { j[name] = v; }, option.second);
    }
    return j;
}

class Installer {
public:
    Installer(const InstallPlan& plan, const InstallCallbacks& cb)
        : plan_(plan), cb_(cb), target_(plan.game.target), staging_(install::makeStagingFolder(plan.game)),
          work_(staging_.path() / ".levels") {}

    InstallResult run(const install::CommitProbe& probe) {
        install::StagedInstall staged;
        try {
            for (std::size_t i = 0; i < plan_.levels.size(); ++i) convertLevelOf(plan_.levels[i], i);
            if (plan_.colMap) convertColMap(*plan_.colMap);
            splitPlacementFiles();
            checkDictionaries();
            buildArchive();
            for (const StagedFile& f : files_) {
                if (!f.entry.empty()) continue;
                fs::rename(f.from, staging_.path() / f.loose);
                result_.files.push_back(f.loose);
            }
            fs::remove_all(work_);
            stopIfAsked();
            staged.lines = result_.lines = dataLines();
            staged.details = details();
        } catch (const std::exception& e) {
            throw VeldrinError(errorText(e) + "\n" + installText::leftAsItWas(plan_.game.root));
        }
        step("Installing into " + plan_.game.root.string());
        staged.staging = staging_.handOver(); // the commit removes it, whatever happens
        install::commitInstall(plan_.game, std::move(staged), cb_.run.stopRequested, probe);
        return result_;
    }

private:
    void convertLevelOf(const BatchLevel& level, std::size_t index) {
        stopIfAsked();
        step("Converting " + level.options.levelName + " (" + std::to_string(index + 1) + " of " +
             std::to_string(plan_.levels.size()) + ")");
        ConversionOptions o = level.options;
        o.outputFolder = work_;
        o.buildImg = false; // the install packs every level's files into its one archive
        RunCallbacks run = cb_.run;
        run.warning = [this](WarningKind kind, const std::string& text) {
            // Every level runs with the install's options: an option idle for the game is told once.
            if (kind == WarningKind::IdleOption && !idleOptionsTold_.insert(text).second) return;
            ++result_.warnings;
            if (cb_.run.warning) cb_.run.warning(kind, text);
        };
        for (const RunWarning& w : level.planWarnings) run.warning(w.kind, w.text);
        const RunSummary summary = convertLevel(prepareLevel(o, run), run);
        if (summary.stopped) stopIfAsked(true);
        const fs::path folder = o.levelFolder();
        std::vector<std::string> dictionaries;
        for (const WrittenFile& w : summary.files) {
            const std::string ext = extensionOf(w.name);
            const fs::path from = folder / w.name;
            if (ext == ".dff") files_.push_back({from, w.name, {}});
            else if (ext == ".txd") {
                dictionaries.push_back(fs::path(w.name).stem().string());
                files_.push_back({from, dictionaries.back() + ".txd", {}});
            }
            else if (ext == ".col") appendCollision(from);
            else files_.push_back({from, {}, w.name});
        }
        installed_.push_back({o, std::move(dictionaries), summary.modelsConverted});
    }

    void convertColMap(const ColMapPlan& c) {
        stopIfAsked();
        step("Converting the collision map " + c.dtz.filename().string());
        ColCallbacks callbacks;
        callbacks.status = cb_.run.status;
        callbacks.warning = [this](const std::string& text) {
            ++result_.warnings;
            if (cb_.run.warning) cb_.run.warning(WarningKind::Other, text);
        };
        const fs::path folder = work_ / c.fileName;
        ensureFolder(folder);
        // The invisible models use no texture, but every model line must name a dictionary the game can
        // load: an empty one of the install's own.
        const std::string dictionary = freeDictionaryName();
        TxdParams empty;
        empty.target = target_;
        empty.edition = GameVersion::LcsPs2; // no textures: nothing of the edition is read
        writeWholeFile(folder / (dictionary + ".txd"), makeTxd({}, {}, empty));
        files_.push_back({folder / (dictionary + ".txd"), dictionary + ".txd", {}});
        const ColMapResult r = convertPlannedColMap(c, plan_.request, target_, dictionary, callbacks);
        const std::vector<uint8_t> invisible = invisibleDff(target_);
        for (int index : r.summary.modelIndices) {
            const std::string name = c.modelPrefix + std::to_string(index) + ".dff";
            writeWholeFile(folder / name, invisible);
            files_.push_back({folder / name, name, {}});
        }
        for (const ColMapFile& f : r.files) {
            const std::string ext = extensionOf(f.name);
            if (ext == ".col") {
                collision_.insert(collision_.end(), f.bytes.begin(), f.bytes.end());
                continue;
            }
            writeWholeFile(folder / f.name, f.bytes);
            files_.push_back({folder / f.name, {}, c.fileName + ext});
        }
    }

    // The install's own dictionary: the first of "veldrin", "veldrin_2", ... that neither the game nor a
    // level uses.
    std::string freeDictionaryName() const {
        std::set<std::string> taken = plan_.content.dictionaryNames;
        for (const StagedFile& f : files_)
            if (extensionOf(f.entry) == ".txd") taken.insert(toLower(fs::path(f.entry).stem().string()));
        std::string name = kInstallDictionaryName;
        for (int n = 2; taken.count(name); ++n) name = std::string(kInstallDictionaryName) + "_" + std::to_string(n);
        return name;
    }

    // A target that reads a bounded number of placements from one IPL file (GTA SA) gets each larger IPL
    // as several: NAME.ipl with the first share, then NAME_2.ipl, NAME_3.ipl ... (the next free names),
    // each a whole file and each named by a line of its own, right after the first.
    void splitPlacementFiles() {
        const long long perFile = install::placementsPerIplFile(target_);
        if (perFile <= 0) return;
        std::set<std::string> taken;
        for (const StagedFile& f : files_)
            if (f.entry.empty()) taken.insert(toLower(f.loose));
        std::vector<StagedFile> staged;
        for (StagedFile& f : files_) {
            staged.push_back(f);
            if (!f.entry.empty() || extensionOf(f.loose) != ".ipl") continue;
            const std::vector<uint8_t> bytes = readWholeFile(f.from);
            const std::vector<std::string> pieces = splitPlacements(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), std::size_t(perFile), f.loose);
            if (pieces.size() == 1) continue;
            writeWholeFile(f.from, pieces[0]);
            const fs::path from(f.from), loose(f.loose);
            int n = 1;
            for (std::size_t i = 1; i < pieces.size(); ++i) {
                std::string name;
                do name = loose.stem().string() + "_" + std::to_string(++n) + loose.extension().string();
                while (taken.count(toLower(name)));
                taken.insert(toLower(name));
                writeWholeFile(from.parent_path() / name, pieces[i]);
                staged.push_back({from.parent_path() / name, {}, name});
            }
        }
        files_ = std::move(staged);
    }

    // Every model line the install writes names a dictionary that its archive holds or that the game
    // loads; a line that names another would have the game look for a dictionary that is not there.
    void checkDictionaries() const {
        std::set<std::string> held;
        for (const StagedFile& f : files_)
            if (extensionOf(f.entry) == ".txd") held.insert(toLower(fs::path(f.entry).stem().string()));
        for (const StagedFile& f : files_) {
            if (!f.entry.empty() || extensionOf(f.loose) != ".ide") continue;
            const std::vector<uint8_t> bytes = readWholeFile(f.from);
            for (const DictionaryUse& use : dictionariesNamed(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
                const std::string name = toLower(use.dictionary);
                if (!held.count(name) && !plan_.content.dictionaryNames.count(name))
                    throw VeldrinError(installText::unresolvedDictionary(f.loose, use.line, use.dictionary));
            }
        }
    }

    // Every collision record in one file, as the games allow few collision files (31 slots in VC): the
    // records of each level and of the collision map back to back, in the order they were converted.
    void appendCollision(const fs::path& file) {
        const std::vector<uint8_t> bytes = readWholeFile(file);
        collision_.insert(collision_.end(), bytes.begin(), bytes.end());
        fs::remove(file);
    }

    // One archive for everything the game streams: every level's models and dictionaries, the collision
    // map's invisible models and, for GTA SA, the collision files.
    void buildArchive() {
        stopIfAsked();
        step(std::string("Building ") + kInstallArchiveName);
        const bool ver2 = target_ == TargetGame::GtaSa;
        int32_t entries = ver2 ? 1 : 0; // GTA SA reads the collision from the archive
        for (const StagedFile& f : files_) entries += !f.entry.empty();
        ImgFileWriter archive(staging_.path() / kInstallArchiveName, ver2 ? std::optional<int32_t>(entries) : std::nullopt);
        for (const StagedFile& f : files_) {
            if (f.entry.empty()) continue;
            archive.addEntry(f.entry, readWholeFile(f.from));
            fs::remove(f.from);
        }
        if (ver2) archive.addEntry(kInstallCollisionEntry, std::move(collision_));
        const ImgFileWriter::Finished finished = archive.finish(ver2 ? ImgFileWriter::Layout::Ver2 : ImgFileWriter::Layout::Split);
        result_.files.push_back(kInstallArchiveName);
        if (!ver2) {
            writeWholeFile(staging_.path() / kInstallArchiveDirectory, finished.directory);
            writeWholeFile(staging_.path() / kInstallCollisionFile, collision_);
            result_.files.push_back(kInstallArchiveDirectory);
            result_.files.push_back(kInstallCollisionFile);
        }
    }

    // The archive, then every IDE (the models must be defined before their collision and placements),
    // the collision file (GTA 3, GTA VC; GTA SA finds it in the archive) and the IPLs.
    std::vector<install::DataLine> dataLines() const {
        const std::string folder = install::installFolder(plan_.game).filename().string() + "\\";
        std::vector<install::DataLine> lines{{"IMG", folder + kInstallArchiveName}};
        const auto loose = [&](const char* keyword, const char* kind) {
            for (const StagedFile& f : files_)
                if (f.entry.empty() && extensionOf(f.loose) == kind) lines.push_back({keyword, folder + f.loose});
        };
        loose("IDE", ".ide");
        if (target_ != TargetGame::GtaSa) lines.push_back({"COLFILE", folder + kInstallCollisionFile});
        loose("IPL", ".ipl");
        return lines;
    }

    nlohmann::json details() const {
        nlohmann::json j;
        j["target"] = std::string(targetGameName(target_));
        j["levels"] = nlohmann::json::array();
        for (std::size_t i = 0; i < installed_.size(); ++i) {
            const ConversionOptions& o = installed_[i].options;
            const BatchLevel& l = plan_.levels[i];
            j["levels"].push_back({{"name", o.levelName},
                                   {"lvz", o.lvzPath.string()},
                                   {"edition", std::string(editionName(o.edition))},
                                   {"ids", {{"first", o.idOffset}, {"planned", l.plannedModels}, {"written", installed_[i].models}}},
                                   {"modelPrefix", o.modelPrefix},
                                   {"lodPrefix", o.lodPrefix()},
                                   {"dictionaries", installed_[i].dictionaries},
                                   {"placements", l.plannedPlacements}});
        }
        if (plan_.colMap) {
            const ColMapPlan& c = *plan_.colMap;
            j["collisionMap"] = {{"dtz", c.dtz.string()},
                                 {"img", c.img.string()},
                                 {"game", c.game == StoriesEdition::LCS ? "lcs" : "vcs"},
                                 {"ids", {{"first", c.firstId}, {"count", c.models}}},
                                 {"modelPrefix", c.modelPrefix},
                                 {"placements", c.placements}};
        }
        j["options"] = optionsJson(plan_.request.options);
        j["allowOverLimits"] = plan_.request.allowOverLimits;
        return j;
    }

    void stopIfAsked(bool stopped = false) const {
        if (stopped || (cb_.run.stopRequested && cb_.run.stopRequested()))
            throw VeldrinError("Install stopped.");
    }
    void step(const std::string& text) const {
        if (cb_.step) cb_.step(text);
    }

    const InstallPlan& plan_;
    const InstallCallbacks& cb_;
    TargetGame target_;
    Staging staging_;
    fs::path work_;
    std::vector<StagedFile> files_;
    std::vector<uint8_t> collision_;
    struct InstalledLevel {
        ConversionOptions options; // as converted: the plan's ids and names
        std::vector<std::string> dictionaries;
        int models = 0;
    };
    std::vector<InstalledLevel> installed_;
    std::set<std::string> idleOptionsTold_;
    InstallResult result_;
};

} // namespace

InstallResult runInstall(const InstallPlan& plan, const InstallCallbacks& callbacks, const install::CommitProbe& probe) {
    if (const std::vector<std::string> why = plan.refusals(); !why.empty()) {
        throw VeldrinError("Not installed:" + indentedLines(why) + "\n" + installText::leftAsItWas(plan.game.root));
    }
    return Installer(plan, callbacks).run(probe);
}

} // namespace veldrin
