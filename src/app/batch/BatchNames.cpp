#include "app/batch/BatchNames.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "base/TextureName.h"
#include "level/WorldTables.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> modelNamesUnder(const std::vector<PlannedModel>& models, const std::string& prefix) {
    const std::string lod = lodPrefixFor(prefix);
    std::vector<std::string> names;
    names.reserve(models.size());
    for (const PlannedModel& p : models) names.push_back(modelName(p.drawDistance, p.resourceIndex, prefix, lod));
    return names;
}

// The planned models as a prefix names them: dictionaries of one per model take these names.
std::vector<PlannedModel> renamed(std::vector<PlannedModel> models, const std::string& prefix) {
    const std::vector<std::string> names = modelNamesUnder(models, prefix);
    for (std::size_t i = 0; i < models.size(); ++i) models[i].name = names[i];
    return models;
}

// Two levels share a file name only when they write into the same folder.
std::string fileKey(const ConversionOptions& o) { return toLower(o.levelFolder().lexically_normal().generic_string()); }

std::string lowerStem(const std::string& entry, const char* extension) {
    const std::string lower = toLower(entry);
    const std::string ext = extension;
    if (lower.size() <= ext.size() || lower.compare(lower.size() - ext.size(), ext.size(), ext) != 0) return {};
    return lower.substr(0, lower.size() - ext.size());
}

// The first of the model names too long for the fields they go into: the collision record's name and
// (with the archive) the entry's, which the one-per-model dictionaries share; empty when all fit. The
// limits are checkOutputNames's.
std::string firstTooLong(const std::vector<std::string>& names, const ConversionOptions& o) {
    for (const std::string& n : names)
        if ((o.genBlankCol && n.size() > kMaxColModelNameLength) || (o.buildImg && n.size() + 4 > kMaxImgEntryNameLength)) return n;
    return {};
}

// The first of the names the level's name gives that is too long for an archive entry: its dictionaries
// (unless each model has its own) and, for GTA SA, its collision file; empty when all fit. The limits
// are checkOutputNames's.
std::string firstTooLongForLevel(const std::vector<PlannedModel>& models, const ConversionOptions& o) {
    if (!o.buildImg) return {};
    if (!o.onePerModel())
        for (const DictionaryPlan& d : plannedDictionaries(models, o))
            if (d.entryName().size() > kMaxImgEntryNameLength) return d.entryName();
    const std::string col = toUpper(o.levelName) + ".COL";
    if (o.genBlankCol && o.targetGame == TargetGame::GtaSa && col.size() > kMaxImgEntryNameLength) return col;
    return {};
}

bool textureNamesFit(const std::string& prefix, const std::vector<PlannedModel>& models) {
    int highest = 0;
    for (const PlannedModel& p : models)
        for (int id : p.textureIds) highest = std::max(highest, id);
    return textureName(prefix, highest).size() <= kMaxTextureNameLength;
}

} // namespace

void reserveArchiveEntries(ReservedContent& reserved, const std::set<std::string>& entries) {
    for (const std::string& entry : entries) {
        if (std::string s = lowerStem(entry, ".dff"); !s.empty()) reserved.models.insert(s);
        if (std::string s = lowerStem(entry, ".txd"); !s.empty()) reserved.dictionaries.insert(s);
        if (std::string s = lowerStem(entry, ".col"); !s.empty()) reserved.files.insert(s);
    }
}

LevelNames levelNames(const std::vector<PlannedModel>& models, const ConversionOptions& options) {
    LevelNames names;
    names.models = modelNamesUnder(models, options.modelPrefix);
    for (const DictionaryPlan& d : plannedDictionaries(renamed(models, options.modelPrefix), options))
        names.dictionaries.push_back(d.name);
    return names;
}

LevelNamePlanner::LevelNamePlanner(const ReservedContent& reserved, IdRule ids, NameLengths lengths)
    : usedIds_(reserved.ids), ids_(ids), lengths_(lengths), next_(ids.from) {
    const std::string game = "the game";
    for (const std::string& n : reserved.models) models_.emplace(toLower(n), game);
    for (const std::string& n : reserved.dictionaries) dictionaries_.emplace(toLower(n), game);
    // A game's collision entries stand for file names in any folder: kept apart by their bare stem.
    for (const std::string& n : reserved.files) files_.emplace(toLower(n), game);
}

int LevelNamePlanner::nextId() const { return static_cast<int>(std::min<int64_t>(next_, INT32_MAX)); }

bool LevelNamePlanner::allFree(const Owners& taken, const std::vector<std::string>& names) {
    return firstTaken(taken, names).empty();
}

std::string LevelNamePlanner::firstTaken(const Owners& taken, const std::vector<std::string>& names) {
    for (const std::string& n : names)
        if (taken.count(toLower(n))) return n;
    return {};
}

void LevelNamePlanner::claim(Owners& taken, const std::vector<std::string>& names, const std::string& owner) {
    for (const std::string& n : names) taken.emplace(toLower(n), owner);
}

std::string LevelNamePlanner::freeVariant(const std::string& own, const std::function<bool(const std::string&)>& fits) const {
    if (fits(own)) return own;
    // Bounded. Variants that differ only before the fourth character share their LOD prefix ("c_2" to
    // "c_9", or "c_10" and "c_20"), so one claimed LOD name can rule out several: allow ten per name.
    const std::size_t bound = 10 * (models_.size() + dictionaries_.size() + files_.size()) + 100;
    for (std::size_t k = 2; k <= bound; ++k) {
        const std::string variant = own + "_" + std::to_string(k);
        if (fits(variant)) return variant;
    }
    throw VeldrinError("No free variant of the name \"" + own + "\" was found; give another prefix");
}

std::string LevelNamePlanner::fittingVariant(const std::string& own, const std::function<bool(const std::string&)>& fitsLength,
                                             const std::function<bool(const std::string&)>& isFree) const {
    // At most nine tries per length: a shorter base is as good a name as a later variant.
    for (std::size_t length = own.size(); length > 0; --length) {
        const std::string base = own.substr(0, length);
        if (!fitsLength(base)) continue; // nor would a longer variant of it
        for (int k = 1; k <= 9; ++k) {
            const std::string variant = k == 1 ? base : base + "_" + std::to_string(k);
            if (fitsLength(variant) && isFree(variant)) return variant;
        }
    }
    throw VeldrinError("No name short enough and free was found for \"" + own + "\"; rename the LVZ and IMG");
}

std::string LevelNamePlanner::fileOwner(const ConversionOptions& o) const {
    if (const auto it = files_.find(fileKey(o)); it != files_.end()) return it->second;
    if (const auto it = files_.find(toLower(o.levelName)); it != files_.end()) return it->second;
    return {};
}

int64_t LevelNamePlanner::claimIds(const std::string& owner, int count) {
    if (count <= 0) return next_;
    int64_t start = next_;
    if (ids_.fixed) {
        for (auto it = usedIds_.lower_bound(static_cast<int>(std::min<int64_t>(start, INT32_MAX)));
             it != usedIds_.end() && *it < start + count; ++it) {
            throw VeldrinError("IDE id " + std::to_string(*it) + " of " + owner + " (ids " + std::to_string(start) + "-" +
                               std::to_string(start + count - 1) + ") is used by the game already; choose another " +
                               "--id-offset, or leave it out to have free ids chosen");
        }
    } else {
        // The lowest start at or above next_ with `count` ids none of which is used.
        for (auto it = usedIds_.lower_bound(static_cast<int>(std::min<int64_t>(start, INT32_MAX)));
             it != usedIds_.end() && *it < start + count; ++it)
            start = int64_t(*it) + 1;
    }
    if (start + count - 1 > INT32_MAX) {
        throw VeldrinError("IDE ids from " + std::to_string(start) + " for " + std::to_string(count) +
                           " models go past 2147483647; choose a smaller ID offset");
    }
    for (int64_t id = start; id < start + count; ++id) usedIds_.insert(static_cast<int>(id));
    // A fixed rule continues after the range; the automatic search looks from its start again, so a
    // later level may still take a gap below it.
    next_ = ids_.fixed ? start + count : next_;
    if (!ids_.fixed && start == next_) next_ = start + count;
    return start;
}

std::vector<RunWarning> LevelNamePlanner::placeLevel(ConversionOptions& o, const std::vector<PlannedModel>& models) {
    const std::string level = o.levelName;
    const std::vector<PlannedModel> own = renamed(models, o.modelPrefix);
    // The model prefix first (with one per model it names the dictionaries as well), then the level name
    // for the files and the dictionaries named after the level.
    const auto modelsFit = [&](const std::string& prefix) {
        ConversionOptions c = o;
        c.modelPrefix = prefix;
        const LevelNames n = levelNames(own, c);
        return allFree(models_, n.models) && (!o.onePerModel() || allFree(dictionaries_, n.dictionaries));
    };
    const auto levelFits = [&](const std::string& name) {
        ConversionOptions c = o;
        c.levelName = name;
        if (files_.count(fileKey(c)) || files_.count(toLower(name))) return false;
        return o.onePerModel() || allFree(dictionaries_, levelNames(own, c).dictionaries);
    };
    const auto lengthFits = [&](const std::string& prefix) { return firstTooLong(modelNamesUnder(models, prefix), o).empty(); };
    const bool shorten = lengths_ == NameLengths::ShortenPrefix;
    const std::string prefix = shorten ? fittingVariant(o.modelPrefix, lengthFits, modelsFit) : freeVariant(o.modelPrefix, modelsFit);
    const auto levelLengthFits = [&](const std::string& name) {
        ConversionOptions c = o;
        c.levelName = name;
        return firstTooLongForLevel(own, c).empty();
    };
    const std::string name = shorten ? fittingVariant(o.levelName, levelLengthFits, levelFits) : freeVariant(o.levelName, levelFits);

    std::vector<RunWarning> notes;
    const std::string tooLong = shorten ? firstTooLong(modelNamesUnder(models, o.modelPrefix), o) : std::string();
    if (!tooLong.empty()) {
        notes.push_back({WarningKind::NameClash, "level " + level + ": its models are named " + prefix + "... and " +
                                                     lodPrefixFor(prefix) + "... instead of " + o.modelPrefix + "... and " +
                                                     o.lodPrefix() + "..., since \"" + tooLong +
                                                     "\" is too long for the game's name fields"});
    } else if (prefix != o.modelPrefix) {
        const std::string clash = firstTaken(models_, levelNames(own, o).models);
        const std::string shown = clash.empty() ? firstTaken(dictionaries_, levelNames(own, o).dictionaries) : clash;
        const Owners& owners = clash.empty() ? dictionaries_ : models_;
        notes.push_back({WarningKind::NameClash, "level " + level + ": its models are named " + prefix + "... and " +
                                                     lodPrefixFor(prefix) + "... instead of " + o.modelPrefix + "... and " +
                                                     o.lodPrefix() + "..., since \"" + shown + "\" is " +
                                                     owners.at(toLower(shown)) + "'s"});
    }
    const std::string levelTooLong = shorten ? firstTooLongForLevel(own, o) : std::string();
    if (!levelTooLong.empty()) {
        notes.push_back({WarningKind::NameClash, "level " + level + ": its files and dictionaries are named after " + name +
                                                     " instead of " + o.levelName + ", since \"" + levelTooLong +
                                                     "\" is too long for the game's name fields"});
    } else if (name != o.levelName) {
        // With one dictionary per model the level's name names files alone.
        const std::string clash = o.onePerModel() ? std::string() : firstTaken(dictionaries_, levelNames(own, o).dictionaries);
        const std::string owner = fileOwner(o);
        const std::string why = !clash.empty() ? "\"" + clash + "\" is " + dictionaries_.at(toLower(clash)) + "'s"
                                : owner == "the game" ? "the game's archives hold a collision file " + o.levelName + ".col"
                                                      : owner + " writes files of that name into the same folder";
        notes.push_back({WarningKind::NameClash, "level " + level + ": its files and dictionaries are named after " +
                                                     name + " instead of " + o.levelName + ", since " + why});
    }

    const int64_t first = claimIds("level " + level, static_cast<int>(models.size()));
    if (shorten && !textureNamesFit(o.texturePrefix, models)) o.texturePrefix = prefix;
    o.modelPrefix = prefix;
    o.levelName = name;
    o.idOffset = static_cast<int>(std::min<int64_t>(first, INT32_MAX));
    const LevelNames n = levelNames(own, o);
    claim(models_, n.models, "level " + level);
    claim(dictionaries_, n.dictionaries, "level " + level);
    files_.emplace(fileKey(o), "level " + level);
    return notes;
}

LevelNamePlanner::ModelsPlaced LevelNamePlanner::placeModels(const std::string& owner, const std::string& prefix,
                                                             const std::vector<int>& indices, const fs::path& folder,
                                                             const std::string& fileName) {
    const auto namesOf = [&](const std::string& p) {
        std::vector<std::string> names;
        for (int i : indices) names.push_back(p + std::to_string(i));
        return names;
    };
    const auto fileOf = [&](const std::string& name) { return toLower((folder / name).lexically_normal().generic_string()); };
    ModelsPlaced placed;
    placed.prefix = freeVariant(prefix, [&](const std::string& p) { return allFree(models_, namesOf(p)); });
    placed.fileName = freeVariant(fileName, [&](const std::string& n) { return !files_.count(fileOf(n)) && !files_.count(toLower(n)); });
    placed.firstId = static_cast<int>(std::min<int64_t>(claimIds(owner, static_cast<int>(indices.size())), INT32_MAX));
    claim(models_, namesOf(placed.prefix), owner);
    files_.emplace(fileOf(placed.fileName), owner);
    return placed;
}

} // namespace veldrin
