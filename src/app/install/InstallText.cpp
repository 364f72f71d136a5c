#include "app/install/InstallText.h"

#include "app/batch/BatchTable.h"
#include "app/install/InstallPlan.h"
#include "base/TextUtil.h"

namespace veldrin::installText {

namespace fs = std::filesystem;

std::string dtzWithoutImg(const fs::path& dtz) {
    return dtz.string() + " has no GAME.IMG beside it; the collision map needs both (copy the game's GAME.IMG into " +
           dtz.parent_path().string() + ")";
}

std::string twoCollisionMaps(const fs::path& first, const fs::path& second) {
    return "Two collision maps were given (" + first.string() + " and " + second.string() +
           "); a game takes one: name only one of their folders";
}

std::string emptySourceFolder(const fs::path& folder) {
    return folder.string() + " holds no .lvz level and no GAME.DTZ; name a folder of a Stories game's files or LVZ files";
}

std::string noSources() { return "Nothing to install: name LVZ files, or a folder holding levels or GAME.DTZ with GAME.IMG"; }

std::string targetDisagrees(TargetGame given, const install::GameFolder& game) {
    return "--target " + std::string(targetGameName(given)) + " disagrees with the game in " + game.root.string() +
           ", which is " + std::string(targetGameName(game.target)) + " (its " + game.gameDataFile.filename().string() +
           "); leave --target out";
}

std::string colMapUnreadable(const fs::path& dtz, const std::string& reason) {
    return dtz.string() + " does not read as the collision map of either Stories game (" + reason + ")";
}

std::string colMapAmbiguous(const fs::path& dtz) {
    return dtz.string() + " reads as the collision map of both Stories games; say which with --colmap-game lcs or vcs";
}

std::string limitPassed(const std::string& passed) {
    return "over the game's limit: " + passed + " (a limit adjuster raises it: then install with --allow-over-limits)";
}

std::string noDictionaries() {
    return "--txd none writes no texture dictionaries, but the game looks up the one each model line names; "
           "install with --txd one (the default) or --txd group";
}

std::string leftAsItWas(const fs::path& gameDir) { return "The game folder " + gameDir.string() + " was left as it was."; }

std::string unresolvedDictionary(const std::string& ide, std::size_t line, const std::string& dictionary) {
    return ide + " line " + std::to_string(line) + " names the texture dictionary \"" + dictionary +
           "\", which neither the install's archive nor the game holds; install with dictionaries (--txd one or group, not none)";
}

std::string unsplittablePlacements(const std::string& ipl, std::size_t perFile) {
    return ipl + " has no inst section closed by end, so it cannot be written as files of at most " +
           std::to_string(perFile) + " placements; convert the level again";
}

std::string argumentsSwapped(const fs::path& given, const fs::path& gameFolder) {
    return "The arguments look swapped: " + given.string() + " holds levels and " + gameFolder.string() +
           " is a game folder. Name the game folder first: veldrin-cli install GAME_DIR SOURCE...";
}

std::string levelRenamed(const fs::path& lvz, const std::string& name) {
    return lvz.filename().string() + " is named " + name + ": its file name cannot go into the game's files.";
}

namespace {

std::string idRange(int first, int count) {
    if (count <= 0) return "-";
    return std::to_string(first) + "-" + std::to_string(int64_t(first) + count - 1);
}

std::string thousands(long long n) { return install::limitNumberText(n); }

// "9,901 in 3 IPL files" when the target takes them in several files, else the count alone.
std::string placementsText(TargetGame target, int placements) {
    const long long files = install::iplFilesFor(target, placements);
    return files > 1 ? thousands(placements) + " in " + std::to_string(files) + " IPL files" : std::to_string(placements);
}

// The limit as the game has it: "13,000", or "13,000 -> 50,000 (the adjuster's file)".
std::string limitText(const install::LimitRow& r) {
    if (r.source.empty()) return thousands(r.limit);
    return thousands(r.stockLimit) + " -> " + (r.unlimited ? std::string("unlimited") : thousands(r.limit)) + " (" + r.source + ")";
}

// "Replaces the earlier install (Veldrin 1.2: levels town, indust; the collision map; 57 files)"
std::string replacesText(const EarlierInstall& e) {
    std::vector<std::string> parts;
    if (!e.levels.empty()) parts.push_back((e.levels.size() == 1 ? "level " : "levels ") + commaSeparated(e.levels));
    if (e.collisionMap) parts.push_back("the collision map");
    parts.push_back(std::to_string(e.files) + (e.files == 1 ? " file" : " files"));
    std::string text = "Replaces the earlier install (Veldrin " + e.version + ": ";
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i > 0 ? "; " : "") + parts[i];
    return text + ")\n";
}

// A level that could not be read has no edition of its own to show, unless one was named.
std::string editionShown(const BatchLevel& l) {
    return l.failure.empty() || l.editionDetected || !l.options.editionAuto ? editionText(l) : "-";
}

} // namespace

std::string planText(const InstallPlan& plan) {
    std::string text = "Installing into " + plan.game.root.string() + " (" + std::string(targetGameName(plan.game.target)) +
                       ", " + plan.game.gameDataFile.filename().string() + ")\n";
    if (plan.earlier) text += replacesText(*plan.earlier);
    std::vector<std::vector<std::string>> rows{
        {"Level", "Edition", "Models", "IDs", "Model/LOD prefix", "Dictionaries", "Placements"}};
    for (const BatchLevel& l : plan.levels) {
        if (!l.failure.empty()) {
            rows.push_back({l.options.levelName, editionShown(l), "-", "-", "-", "-", "-", "cannot convert: " + l.failure});
            continue;
        }
        rows.push_back({l.options.levelName, editionText(l), std::to_string(l.plannedModels),
                        idRange(l.options.idOffset, l.plannedModels), prefixText(l.options),
                        std::to_string(l.plannedDictionaries), placementsText(plan.game.target, l.plannedPlacements)});
    }
    if (plan.colMap) {
        const ColMapPlan& c = *plan.colMap;
        rows.push_back({"collision map", std::string(c.game == StoriesEdition::LCS ? "lcs" : "vcs") + (c.gameDetected ? " (detected)" : ""),
                        std::to_string(c.models), idRange(c.firstId, c.models), c.modelPrefix + " (invisible)", "1 (empty)",
                        placementsText(plan.game.target, c.placements)});
    }
    text += alignedColumns(rows);
    for (const std::string& note : plan.notes) text += note + "\n";
    std::vector<std::vector<std::string>> limits{{"Limit", "Figure", "Of", ""}};
    for (const install::LimitRow& r : plan.limits)
        limits.push_back({r.what, thousands(r.figure), limitText(r), r.over() ? "OVER by " + thousands(r.figure - r.limit) : "ok"});
    text += "\n" + alignedColumns(limits);
    for (const std::string& note : plan.content.adjusters.notes) text += "Limit adjuster: " + note + "\n";
    return text;
}

namespace {

const char* stateText(install::FileState state) {
    switch (state) {
    case install::FileState::AsWritten: return "as written";
    case install::FileState::Changed: return "CHANGED since the install";
    case install::FileState::Missing: return "MISSING";
    }
    return "";
}

const char* blockText(const install::InstallStatus& status) {
    if (!status.blockPresent) return status.linesNow.empty() ? "MISSING (the marked block was removed)" : "DAMAGED (a marker of the block was removed or edited)";
    return status.blockAsWritten ? "as written" : "CHANGED since the install";
}

} // namespace

std::string checkText(const install::InstallStatus& status, const install::GameFolder& game) {
    std::string text = "Veldrin " + status.version + " install in " + game.root.string() + ": " +
                       std::to_string(status.files.size()) + " file(s)\n";
    std::vector<std::vector<std::string>> rows;
    for (const install::RecordedFile& file : status.files) rows.push_back({"  " + file.path, stateText(file.state)});
    text += alignedColumns(rows);
    text += "Lines in " + game.gameDataFile.string() + ": " + blockText(status) + "\n";
    const auto lines = [&text](const std::vector<std::string>& list, const char* indent) {
        for (const std::string& line : list) text += indent + line + "\n";
    };
    if (status.blockAsWritten) {
        lines(status.lines, "  ");
    } else {
        // Both sides, so the changed line can be seen.
        text += "  As the install wrote them:\n";
        lines(status.lines, "    ");
        text += std::string("  As they stand now:") + (status.linesNow.empty() ? " none" : "") + "\n";
        lines(status.linesNow, "    ");
    }
    text += status.intact() ? "Everything is as written.\n" : "The install is not as written; install again to repair it, or uninstall it.\n";
    return text;
}

} // namespace veldrin::installText
