#include "internal/InstallTexts.h"

#include "base/TextUtil.h"
#include "install/GameLimits.h"

namespace veldrin::install::texts {

namespace {

// A cause a sentence goes on after: its own final full stop taken off, so that none is doubled.
std::string withoutFinalStop(std::string text) {
    while (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

} // namespace

std::string notAGameFolder(const std::filesystem::path& root, const std::string& found) {
    return root.string() + ": not a game folder (looked for data/default.dat and one of data/gta3.dat, data/gta_vc.dat, "
                           "data/gta.dat; found " + found + "). Choose the folder that holds the game's program and its data folder.";
}

std::string noSuchFolder(const std::filesystem::path& root) {
    return root.string() + ": no such folder. Check the path, and choose the folder that holds the game's program and its data folder.";
}

std::string notAFolder(const std::filesystem::path& root) {
    return root.string() + ": a file, not a folder. Choose the folder that holds the game's program and its data folder.";
}

std::string dataFolderGiven(const std::filesystem::path& root, const std::filesystem::path& parent) {
    return root.string() + ": this is the game's data folder, not the game folder. Choose the folder above it: " + parent.string() + ".";
}

std::string twoGames(const std::filesystem::path& root, const std::string& first, const std::string& second) {
    return root.string() + ": the data folder holds the data files of two games (" + first + " and " + second +
           "), so the game cannot be told; remove the one the game does not use.";
}

std::string missingOwnArchive(const std::filesystem::path& root, const std::string& gamePath) {
    return root.string() + ": the game's archive " + gamePath + " is missing; reinstall the game or choose its folder.";
}

std::string lineWithoutPath(const std::string& where, const std::string& keyword) {
    return where + ": the " + keyword + " line names no file; fix or remove the line.";
}

std::string missingNamedFile(const std::string& where, const std::string& gamePath) {
    return where + " names " + gamePath + ", which is not in the game folder (the game would not start); "
                   "restore the file or remove the line.";
}

std::string notText(const std::string& what, std::size_t line) {
    return what + ": line " + std::to_string(line) + " holds a zero byte: this is not a text file; restore the game's file.";
}

std::string badDefinition(const std::string& what, std::size_t line, const std::string& section, const std::string& text) {
    return what + ": line " + std::to_string(line) + " of the " + section + " section is not \"id, model, dictionary, ...\" "
           "with an id from 0 to 999999: \"" + text.substr(0, 80) + "\"; fix the line.";
}

std::string unreadable(const std::string& what, const std::string& reason) {
    return what + ": cannot be read (" + reason + ").";
}

std::string directoryPastEnd(const std::string& what, std::int64_t directoryBytes, std::int64_t archiveBytes) {
    return what + ": its directory would take " + std::to_string(directoryBytes) + " bytes of a " + std::to_string(archiveBytes) +
           "-byte file; the archive is damaged, restore it.";
}

std::string missingDirectory(const std::string& what, const std::string& dirName) {
    return what + ": has no directory " + dirName + " beside it; restore the game's archive.";
}

std::string adjusterNotText(const std::string& file) {
    return file + " holds a zero byte: it is not a limit adjuster's settings, so the stock limits are shown; restore the file.";
}

std::string adjusterTooLarge(const std::string& file, std::uintmax_t limit) {
    return file + " is larger than " + std::to_string(limit >> 20) + " MiB, far more than a limit adjuster's settings; "
                  "it was not read and the stock limits are shown.";
}

std::string adjusterBadValue(const std::string& file, std::size_t line, const std::string& key, const std::string& value,
                             long long highest, bool mayBeUnlimited) {
    return file + " line " + std::to_string(line) + ": \"" + key + " = " + value.substr(0, 40) + "\" is not a whole number from 1 to " +
           limitNumberText(highest) + (mayBeUnlimited ? " or \"unlimited\"" : "") + ", so the stock limit is shown for it; fix the line.";
}

std::string adjusterIdPatchOff(const std::string& file, std::size_t line, const std::string& key) {
    return file + " line " + std::to_string(line) + ": " + key + " takes effect only with \"Apply ID limit patch = 1\" in [ID LIMITS], "
           "so the stock limit is shown for it; turn the patch on to use it.";
}

std::string badStaging(const std::filesystem::path& staging) {
    return "The staging folder " + staging.string() + " is not a folder of the game folder made for this install.";
}

std::string badLine(const std::string& keyword, const std::string& path, const std::string& why) {
    return "The data file line \"" + keyword + " " + path + "\" " + why + ".";
}

std::string readOnlyDataFile(const std::filesystem::path& dataFile) {
    return dataFile.string() + " is read-only; allow writing to it (clear its read-only flag) and install again.";
}

std::string foreignInstallFolder(const std::filesystem::path& folder) {
    return folder.string() + " exists but holds no install record of Veldrin; move or rename that folder and install again.";
}

std::string changedSinceInstall(const std::vector<std::string>& files) {
    return "The files " + commaSeparated(files) + " of the earlier install were changed since; installing over them would lose "
           "the changes. Run \"veldrin-cli uninstall GAME_DIR\" first (it keeps changed files) or restore them.";
}

std::string noStagingFolder(const std::filesystem::path& folder, const std::string& reason) {
    return "Cannot create the staging folder " + folder.string() + " (" + reason + "); allow writing to the game folder.";
}

std::string notPlainFile(const std::filesystem::path& file) {
    return file.string() + " is not a plain file; an install holds plain files only, so remove it.";
}

std::string failed(const std::string& reason) { return "Install failed: " + reason; }

std::string stopped() { return "Install stopped on request"; }

std::string leftAsItWas(const std::string& cause) {
    return withoutFinalStop(cause) + ". Nothing was installed: the game folder was left as it was.";
}

std::string notRestored(const std::string& cause, const std::vector<std::string>& problems) {
    return withoutFinalStop(cause) + ". Undoing the install failed too, so the game folder is NOT as it was: " + commaSeparated(problems) + ".";
}

std::string noInstall(const std::filesystem::path& root) {
    return root.string() + ": no Veldrin install here (veldrin/install.json not found); nothing to do.";
}

std::string badRecord(const std::filesystem::path& record, const std::string& why) {
    return record.string() + ": the install record cannot be used (" + why + "); remove the install's files by hand.";
}

std::string linkRefused(const std::filesystem::path& link) {
    return link.string() + " is a link; Veldrin touches only plain files and folders of the game folder, never what a "
           "link names, so it stopped before changing anything. Remove the link (or move what it names into its "
           "place) and try again.";
}

std::string linkOutOfFolder(const std::string& where, const std::string& gamePath, const std::string& why) {
    return where + " names " + gamePath + ", which " + why + "; Veldrin reads only files inside the game folder. "
           "Put the file itself in its place, or remove the line.";
}

std::string strayLines(const std::filesystem::path& dataFile, const std::vector<std::string>& lines) {
    return dataFile.string() + " still holds lines of an earlier install outside a complete marked block; the game "
           "would load them twice. Run \"veldrin-cli uninstall GAME_DIR\" (it removes them) or delete them by hand, "
           "then install again:" + indentedLines(lines);
}

std::string unplacedLines(const std::filesystem::path& dataFile, const std::vector<std::string>& lines) {
    return dataFile.string() + " has lines naming files of the install that its record does not list (the marked "
           "block was edited); removing the files would leave the game unable to start, so nothing was removed. "
           "Delete these lines by hand, then uninstall again:" + indentedLines(lines);
}

} // namespace veldrin::install::texts
