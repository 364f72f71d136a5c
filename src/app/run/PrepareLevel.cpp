// Everything a run does before it writes: the checks, the level read once, the edition, the island, the
// plan and the names.
#include <algorithm>
#include <cstdint>
#include <set>

#include "app/run/DictionaryAssignment.h"
#include "app/run/LevelRun.h"
#include "app/run/Preflight.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "level/WorldReader.h"

namespace veldrin {

namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

void refuse(const std::vector<std::string>& refusals) {
    if (!refusals.empty()) throw VeldrinError(joinLines(refusals));
}

// IDE ids are 32-bit: the last model's id must not pass the largest one.
void requireIdRange(int idOffset, std::size_t models) {
    if (models > 0 && static_cast<int64_t>(idOffset) + static_cast<int64_t>(models) - 1 > INT32_MAX) {
        throw VeldrinError("IDE ids from " + std::to_string(idOffset) + " for " + std::to_string(models) +
                           " models go past 2147483647; choose a smaller ID offset");
    }
}

class Preparation {
public:
    Preparation(const ConversionOptions& options, const RunCallbacks& callbacks) : cb_(callbacks) {
        p_.options = options;
    }

    // The level was read before (`read`, prepared for the same files): its edition readings and world
    // tables are taken from there instead of being read again.
    void reuse(PreparedLevel& read) {
        knownDetection_ = std::move(read.detection);
        knownEdition_ = read.options.edition;
        knownTables_ = std::move(read.tables);
    }

    PreparedLevel run(LevelBuffer level, PrepareFor purpose) {
        ConversionOptions& o = p_.options;
        for (const std::string& w : idleOptionWarnings(o)) warn(WarningKind::IdleOption, w);
        p_.level = std::move(level);
        settleEditionOfLevel();
        if (o.useZon) readZones();
        status("Loading database...");
        readTables();
        p_.plan = planRun(p_.level, p_.tables, o, p_.zones ? &*p_.zones : nullptr);
        p_.dictionaries = plannedDictionaries(p_.plan.models, o);
        checkOutputNames(o, p_.plan.models, p_.dictionaries);
        if (purpose == PrepareFor::Conversion) warnAboutLongNames();
        if (o.generateIde) requireIdRange(o.idOffset, p_.plan.models.size());
        return std::move(p_);
    }

private:
    // The detected edition, or the named one unless another reads clearly better; every later step
    // reads the level in the edition settled here.
    void settleEditionOfLevel() {
        ConversionOptions& o = p_.options;
        const std::optional<GameVersion> named = o.editionAuto ? std::nullopt : std::optional<GameVersion>(o.edition);
        std::shared_ptr<const EditionDetection> detection =
            knownDetection_ ? knownDetection_ : std::make_shared<const EditionDetection>(detectEdition(p_.level, o.jobs));
        EditionChoice choice = chooseEdition(*detection, named, o.lvzPath.filename().string());
        if (!choice.edition) throw EditionRefused(std::move(choice));
        // The earlier reading's tables are those of the edition it chose; the same choice takes them.
        if (knownDetection_ && *choice.edition == knownEdition_) chosenTables_ = std::make_shared<WorldTables>(std::move(knownTables_));
        else if (!knownDetection_) chosenTables_ = std::move(choice.tables);
        o.edition = *choice.edition;
        p_.editionDetected = choice.detected;
        p_.detection = std::move(detection);
        if (cb_.edition) cb_.edition(o.edition, choice.detected);
    }

    // The zone file and the island it keeps: the one named, or the smallest the file has.
    void readZones() {
        ConversionOptions& o = p_.options;
        p_.zones = readZoneTable(readWholeFile(o.zonPath), o.zonPath.string());
        if (!o.zonIsland) {
            o.zonIsland = smallestIsland(*p_.zones);
            if (!o.zonIsland) throw VeldrinError(o.zonPath.string() + ": holds no zone, so no placement would be kept");
            p_.smallestIsland = true;
        }
        if (const auto w = emptyIslandWarning(*p_.zones, *o.zonIsland, o.zonPath.filename().string()))
            warn(WarningKind::EmptyIsland, *w);
    }

    void readTables() {
        const ConversionOptions& o = p_.options;
        try {
            // Detection has read the world under the chosen edition already, unless it refused it.
            p_.tables = chosenTables_ ? std::move(*chosenTables_) : readWorld(p_.level, o.edition);
            chosenTables_.reset();
        } catch (const VeldrinError& e) {
            // Only a named edition gets here: detection refuses a level that reads under none.
            throw VeldrinError(o.lvzPath.filename().string() + " does not read as " +
                               std::string(editionName(o.edition)) + "; check the edition, and that the LVZ " +
                               "and its IMG belong together (" + e.what() + ")");
        }
        if (p_.tables.stats.skippedResourceIndices > 0) {
            warn(WarningKind::ResourceIndexOutOfRange, std::to_string(p_.tables.stats.skippedResourceIndices) +
                                                           " resource index(es) at or above the resource count were skipped");
        }
    }

    // Loose files whose names an IMG made later could not hold.
    void warnAboutLongNames() {
        const ConversionOptions& o = p_.options;
        if (o.buildImg) return; // the names were checked against the archive's limit
        std::vector<std::string> names;
        for (const PlannedModel& p : p_.plan.models) names.push_back(p.name + ".dff");
        for (const DictionaryPlan& d : p_.dictionaries) names.push_back(d.fileName());
        if (const auto w = longEntryNameWarning(o, names)) warn(WarningKind::LongName, *w);
    }

    void status(const std::string& text) const {
        if (cb_.status) cb_.status(text);
    }
    void warn(WarningKind kind, const std::string& text) {
        p_.warnings.push_back({kind, text});
        if (cb_.warning) cb_.warning(kind, text);
    }

    const RunCallbacks& cb_;
    PreparedLevel p_;
    std::shared_ptr<WorldTables> chosenTables_; // as edition detection read them
    std::shared_ptr<const EditionDetection> knownDetection_; // of an earlier reading, if any
    GameVersion knownEdition_{};
    WorldTables knownTables_;
};

} // namespace

PreparedLevel prepareLoadedLevel(const ConversionOptions& options, LevelBuffer level, const RunCallbacks& callbacks,
                                 PrepareFor purpose) {
    return Preparation(options, callbacks).run(std::move(level), purpose);
}

PreparedLevel prepareReadLevel(const ConversionOptions& options, PreparedLevel read, const RunCallbacks& callbacks) {
    refuse(checkInputFiles(options));
    refuse(checkOutputFolders(options));
    // What loading the files tells, the files being in memory already.
    if (callbacks.status) {
        callbacks.status(loadingStatus(options.lvzPath));
        callbacks.status(loadingStatus(options.imgPath));
    }
    Preparation preparation(options, callbacks);
    preparation.reuse(read);
    return preparation.run(std::move(read.level), PrepareFor::Conversion);
}

PreparedLevel prepareLevel(const ConversionOptions& options, const RunCallbacks& callbacks, PrepareFor purpose) {
    refuse(checkInputFiles(options));
    if (purpose == PrepareFor::Conversion) refuse(checkOutputFolders(options));
    LevelBuffer level = loadLevel(options.lvzPath, options.imgPath, callbacks.status, options.jobs);
    return prepareLoadedLevel(options, std::move(level), callbacks, purpose);
}

PlannedCounts plannedCounts(const PreparedLevel& level) {
    PlannedCounts counts;
    const WorldTables& t = level.tables;
    std::vector<bool> planned(t.models.size(), false);
    std::set<int> textures;
    for (const PlannedModel& p : level.plan.models) {
        planned[static_cast<std::size_t>(p.resourceIndex)] = true;
        for (int id : p.textureIds)
            if (id >= 0 && id < t.resourceCount && t.resources[static_cast<std::size_t>(id)].position != 0) textures.insert(id);
    }
    counts.models = static_cast<int>(level.plan.models.size());
    counts.textures = static_cast<int>(textures.size());
    for (const PlannedInstance& i : level.plan.instances)
        counts.placements += static_cast<std::size_t>(i.model) < planned.size() && planned[static_cast<std::size_t>(i.model)];
    return counts;
}

} // namespace veldrin
