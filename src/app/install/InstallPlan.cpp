#include "app/install/InstallPlan.h"

#include <algorithm>
#include <climits>

#include "app/batch/BatchLevels.h"
#include "app/install/ColMapInstall.h"
#include "app/install/InstallNames.h"
#include "app/install/InstallText.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "install/InstallCommit.h"
#include "install/Uninstall.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

// The file of `folder` named `name` in any case (copied from a disc, the names are often upper case).
std::optional<fs::path> fileNamed(const fs::path& folder, const std::string& name) {
    std::error_code error;
    std::optional<fs::path> found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (toLower(it->path().filename().string()) == toLower(name) && it->is_regular_file(typeError))
            if (!found || it->path() < *found) found = it->path();
    }
    return found;
}

bool isFolder(const fs::path& p) {
    std::error_code error;
    return fs::is_directory(p, error);
}

// Automatic ids start above the ranges the games give their characters, vehicles, weapons and (GTA SA)
// vehicle upgrades: their code finds those by number even where no IDE line defines one. 1000 is also
// the converter's own default ID offset; GTA SA's upgrades run to 1193.
int automaticIdFloor(TargetGame target) { return target == TargetGame::GtaSa ? 1194 : 1000; }

install::AddedContent addedContent(const InstallPlan& plan) {
    install::AddedContent a;
    a.archives = 1;
    // Every record goes into one file: an archive entry for GTA SA (a slot), a COLFILE line otherwise (none).
    a.collisionFiles = plan.game.target == TargetGame::GtaSa ? 1 : 0;
    int64_t highest = -1;
    // A level and the collision map each add their models' ids and their placements, in one IPL file or,
    // past the target's placements per file, in files of that many.
    const long long perFile = install::placementsPerIplFile(plan.game.target);
    const auto add = [&](int models, int placements, int firstId) {
        a.placements += placements;
        a.largestIplPlacements = std::max(a.largestIplPlacements, perFile > 0 ? int(std::min<long long>(placements, perFile)) : placements);
        if (models > 0) highest = std::max<int64_t>(highest, int64_t(firstId) + models - 1);
    };
    for (const BatchLevel& l : plan.levels) {
        if (!l.failure.empty()) continue;
        a.dictionaries += l.plannedDictionaries;
        add(l.plannedModels, l.plannedPlacements, l.options.idOffset);
    }
    if (plan.colMap) {
        add(plan.colMap->models, plan.colMap->placements, plan.colMap->firstId);
        ++a.dictionaries; // the empty one its models name
    }
    a.highestId = static_cast<int>(std::min<int64_t>(highest, INT_MAX));
    return a;
}

ReservedContent reservedBy(const install::GameContent& content) {
    ReservedContent r;
    r.ids = content.usedIds;
    r.models = content.modelNames;
    r.dictionaries = content.dictionaryNames;
    reserveArchiveEntries(r, content.archiveEntries);
    return r;
}

// The settings every installed level shares: the game's target, IDE and IPL, a collision record per
// model, and names checked against an archive's entry limit (the install packs them into one).
BatchSettings levelSettings(const InstallPlan& plan) {
    BatchSettings s;
    s.options = plan.request.options;
    s.options.targetGame = plan.game.target;
    s.options.generateIde = true;
    s.options.genBlankCol = true;
    s.options.buildImg = true;
    s.options.writeReport = false;
    s.options.clean = false;
    s.outputFolder = install::installFolder(plan.game);
    return s;
}

// The Stories game of the levels, when they are all of one.
std::optional<StoriesEdition> levelsGame(const std::vector<BatchLevel>& levels) {
    std::optional<StoriesEdition> game;
    for (const BatchLevel& l : levels) {
        if (!l.failure.empty()) continue;
        const StoriesEdition g = isLcs(l.options.edition) ? StoriesEdition::LCS : StoriesEdition::VCS;
        if (game && *game != g) return std::nullopt;
        game = g;
    }
    return game;
}

// A path that names levels rather than a game: an LVZ file, or a folder holding one or a GAME.DTZ.
bool namesLevels(const fs::path& p) {
    if (hasLvzExtension(p)) return true;
    if (!isFolder(p)) return false;
    std::error_code error;
    for (fs::directory_iterator it(p, error), end; !error && it != end; it.increment(error))
        if (hasLvzExtension(it->path()) || toLower(it->path().filename().string()) == "game.dtz") return true;
    return false;
}

bool isGameFolder(const fs::path& p) {
    try {
        install::recogniseGameFolder(p);
        return true;
    } catch (const VeldrinError&) {
        return false;
    }
}

// The game of the request's folder; when that names levels and a source is a game folder, the refusal
// says the two look swapped.
install::GameFolder recogniseGame(const InstallRequest& request) {
    try {
        return install::recogniseGameFolder(request.gameDir);
    } catch (const VeldrinError& e) {
        if (namesLevels(request.gameDir))
            for (const fs::path& source : request.sources)
                if (isGameFolder(source)) throw VeldrinError(std::string(e.what()) + "\n" + installText::argumentsSwapped(request.gameDir, source));
        throw;
    }
}

// The install a new one replaces, from its record.
std::optional<EarlierInstall> earlierInstall(const install::InstallStatus& status) {
    if (!status.installed) return std::nullopt;
    EarlierInstall earlier;
    earlier.version = status.version;
    earlier.files = status.files.size();
    const nlohmann::json& d = status.details;
    if (!d.is_object()) return earlier;
    if (const auto levels = d.find("levels"); levels != d.end() && levels->is_array())
        for (const nlohmann::json& level : *levels)
            if (level.is_object() && level.contains("name") && level["name"].is_string()) earlier.levels.push_back(level["name"].get<std::string>());
    const auto colMap = d.find("collisionMap");
    earlier.collisionMap = colMap != d.end() && colMap->is_object();
    return earlier;
}

// Names the game's files can hold: a level whose file name cannot go in gets an ASCII name (its model and
// texture prefixes with it, unless given); the planner keeps it free of clashes.
void giveInstallableNames(std::vector<BatchLevel>& levels) {
    for (BatchLevel& l : levels) {
        ConversionOptions& o = l.options;
        const std::string name = installableName(o.levelName);
        if (name == o.levelName) continue;
        if (o.modelPrefix == o.levelName) o.modelPrefix = name;
        if (o.texturePrefix == o.levelName) o.texturePrefix = name;
        o.levelName = name;
    }
}

} // namespace

InstallSources collectInstallSources(const std::vector<fs::path>& sources) {
    InstallSources found;
    std::vector<fs::path> named;
    for (const fs::path& source : sources) {
        if (!isFolder(source)) {
            named.push_back(source);
            continue;
        }
        const std::optional<fs::path> dtz = fileNamed(source, "GAME.DTZ");
        const std::optional<fs::path> img = fileNamed(source, "GAME.IMG");
        if (dtz && !img) throw VeldrinError(installText::dtzWithoutImg(*dtz));
        if (dtz) {
            if (found.dtz) throw VeldrinError(installText::twoCollisionMaps(*found.dtz, *dtz));
            found.dtz = dtz;
            found.img = img;
        }
        bool levels = false;
        for (fs::directory_iterator it(source), end; it != end; ++it) levels = levels || hasLvzExtension(it->path());
        if (levels) named.push_back(source);
        else if (!dtz) throw VeldrinError(installText::emptySourceFolder(source));
    }
    found.levels = batchLevelFiles(named);
    // GAME.IMG is the collision map's archive, never a level's IMG: a GAME.LVZ does not exist.
    if (found.levels.empty() && !found.dtz) throw VeldrinError(installText::noSources());
    return found;
}

std::vector<std::string> InstallPlan::refusals() const {
    std::vector<std::string> why = folderRefusals;
    // Every model line names a dictionary the game must find: an install without them could not load.
    if (request.options.txdMode == TxdMode::NoTxd && !levels.empty()) why.push_back(installText::noDictionaries());
    for (const BatchLevel& l : levels)
        if (!l.failure.empty()) why.push_back(l.options.levelName + ": " + l.failure);
    if (!request.allowOverLimits)
        for (const std::string& passed : install::limitsPassed(limits)) why.push_back(installText::limitPassed(passed));
    return why;
}

InstallPlan planInstall(const InstallRequest& request) {
    InstallPlan plan;
    plan.request = request;
    plan.game = recogniseGame(request);
    if (request.target && *request.target != plan.game.target)
        throw VeldrinError(installText::targetDisagrees(*request.target, plan.game));
    plan.folderRefusals = install::installRefusals(plan.game);
    // A folder refused may hold no readable record; one that is not is an install this one replaces.
    if (plan.folderRefusals.empty()) plan.earlier = earlierInstall(install::installStatus(plan.game, install::StatusDepth::RecordOnly));
    const InstallSources sources = collectInstallSources(request.sources);
    plan.content = install::readGameContent(plan.game);

    const IdRule ids = request.idOffset ? IdRule{*request.idOffset, true} : IdRule{automaticIdFloor(plan.game.target), false};
    // The install has no --model-prefix: names too long for the game's fields get a prefix that fits.
    LevelNamePlanner planner(reservedBy(plan.content), ids, NameLengths::ShortenPrefix);
    const BatchSettings settings = levelSettings(plan);
    plan.levels = levelsToPlan(sources.levels, settings);
    giveInstallableNames(plan.levels);
    placeLevelsAsRead(plan.levels, settings.options.jobs, planner, {});
    for (const BatchLevel& l : plan.levels) {
        const std::string own = levelNameFromImg(l.options.imgPath);
        if (installableName(own) != own) plan.notes.push_back(installText::levelRenamed(l.options.lvzPath, l.options.levelName));
    }
    if (sources.dtz) {
        plan.colMap = planColMap(*sources.dtz, *sources.img, request, levelsGame(plan.levels), planner,
                                 install::installFolder(plan.game));
    }
    plan.added = addedContent(plan);
    plan.limits = install::limitTable(plan.game, plan.content, plan.added);
    return plan;
}

} // namespace veldrin
