#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "app/run/RunPlan.h"
#include "report/WarningKinds.h"

namespace veldrin {

// What the levels of a batch or an install must leave alone: the ids and names of the game they go
// into (nothing for a plain batch). Names in lower case: the games compare them without case.
struct ReservedContent {
    std::set<int> ids;
    std::set<std::string> models;       // model names, and the stems of the ".dff" entries of its archives
    std::set<std::string> dictionaries; // dictionary names, and the stems of its ".txd" entries
    std::set<std::string> files;        // the stems of its ".col" entries (a GTA SA level's collision entry)
};

// Sorts a game's archive entry names into the kinds of names a level writes ("town12.dff" is a model).
void reserveArchiveEntries(ReservedContent& reserved, const std::set<std::string>& entries);

// How the ids are given out: from `from` on, each level (or collision map) in the first range of ids
// that no reserved id and no earlier level uses; or, `fixed`, one range after another from `from`,
// refused when one of them is reserved.
struct IdRule {
    int64_t from = 1000;
    bool fixed = false;
};

// What the planner does with a model prefix whose names are too long for the fields they go into (the
// collision record's and the archive entry's): leave it to the name checks, which refuse it, or (an
// install, which takes no --model-prefix) shorten it until they fit.
enum class NameLengths { Keep, ShortenPrefix };

// The one planner of ids and names for the levels of a batch and of an install. Levels are placed one
// after another; each keeps its own model prefix and level name (which names its files and
// dictionaries) unless a name they give is reserved or an earlier level's: then it takes the first of
// "<own>_2", "<own>_3" ... that gives only free names, the LOD prefix still derived from the model prefix.
// With NameLengths::ShortenPrefix a model prefix must also give names that fit: the first of "<own>",
// "<own>_2" ... "<own>_9", then the same of <own> one character shorter, and so on, that fits and is free;
// a texture prefix whose names do not fit becomes the model prefix.
class LevelNamePlanner {
public:
    LevelNamePlanner(const ReservedContent& reserved, IdRule ids, NameLengths lengths = NameLengths::Keep);

    // Settles the level's modelPrefix, levelName and idOffset in `options` for its planned models
    // (as named under options.modelPrefix) and claims its ids and names. A renamed level gets a
    // NameClash warning saying why. Throws VeldrinError when its ids cannot be given (passing the
    // largest id, or a fixed range the game uses); then nothing is claimed.
    std::vector<RunWarning> placeLevel(ConversionOptions& options, const std::vector<PlannedModel>& models);

    // The same for models not named after a level (the collision map's): their ids, the names `prefix`
    // and each of `indices` (the first free variant of the prefix), and the file name of their IDE and
    // IPL in `folder` (the first free variant of `fileName`).
    struct ModelsPlaced {
        std::string prefix, fileName;
        int firstId = 0;
    };
    ModelsPlaced placeModels(const std::string& owner, const std::string& prefix, const std::vector<int>& indices,
                             const std::filesystem::path& folder, const std::string& fileName);

    // The first id the next level would take: where a level that cannot be placed is shown to start.
    int nextId() const;

    // True when a level's names are checked only once placed (its own prefix may be too long to read it under).
    bool shortensPrefixes() const { return lengths_ == NameLengths::ShortenPrefix; }

private:
    using Owners = std::map<std::string, std::string>; // lower-case name -> who writes it
    int64_t claimIds(const std::string& owner, int count);
    std::string freeVariant(const std::string& own, const std::function<bool(const std::string&)>& fits) const;
    std::string fittingVariant(const std::string& own, const std::function<bool(const std::string&)>& fitsLength,
                               const std::function<bool(const std::string&)>& isFree) const;
    std::string fileOwner(const ConversionOptions& options) const;
    static bool allFree(const Owners& taken, const std::vector<std::string>& names);
    static std::string firstTaken(const Owners& taken, const std::vector<std::string>& names);
    static void claim(Owners& taken, const std::vector<std::string>& names, const std::string& owner);

    std::set<int> usedIds_;
    IdRule ids_;
    NameLengths lengths_;
    int64_t next_ = 0; // where a fixed rule continues, or the automatic search starts
    Owners models_, dictionaries_, files_;
};

// The names a level writes that the game keeps in tables shared by everything it loads, under the
// level's options: model names, and dictionary names (one per model: the models' own names).
struct LevelNames {
    std::vector<std::string> models;
    std::vector<std::string> dictionaries;
};
LevelNames levelNames(const std::vector<PlannedModel>& models, const ConversionOptions& options);

} // namespace veldrin
