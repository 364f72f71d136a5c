#include "install/Uninstall.h"

#include <algorithm>

#include "base/Error.h"
#include "base/FileIO.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/InstallRecord.h"
#include "internal/InstallTexts.h"
#include "internal/KilledInstalls.h"
#include "internal/LinkSafeFiles.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

std::string textOf(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string relativeTo(const GameFolder& game, const fs::path& file) { return file.lexically_relative(game.root).generic_string(); }

const std::string kRecordPath = std::string("veldrin/") + kRecordName;

// The data file's text, read without following links; empty when it went.
std::string dataFileText(const GameFolder& game, const std::string& relative) {
    const fs::path path = inGameFolder(game, relative);
    return textOf(readPlainFile(game.root, relative, kMaxDataFileBytes, path.string()).value_or(std::vector<uint8_t>{}));
}

// A data file's edit, worked out before anything is changed.
struct DataFileEdit {
    std::string relative;
    LinesRemoved removed;
};

DataFileEdit planDataFileEdit(const GameFolder& game, const std::string& relative, const std::vector<std::string>& recorded) {
    refuseLinksOnTheWay(game.root, relative);
    refuseLinksOnTheWay(game.root, relative + kBackupSuffix);
    DataFileEdit edit{relative, withoutInstallLines(dataFileText(game, relative), recorded)};
    const fs::path path = inGameFolder(game, relative);
    if (!edit.removed.unplaced.empty()) throw VeldrinError(texts::unplacedLines(path, edit.removed.unplaced));
    if (edit.removed.changed && !ownerMayWrite(path)) throw VeldrinError(texts::readOnlyDataFile(path));
    return edit;
}

// Writes the data file without the install's lines, and drops the first install's backup once the file
// is back to it (a file edited since keeps its backup).
void applyDataFileEdit(const GameFolder& game, const DataFileEdit& edit, UninstallResult& result) {
    if (edit.removed.changed) {
        writeWholeFile(inGameFolder(game, edit.relative), edit.removed.text);
        result.blockRemoved = true;
    }
    const std::string backupName = edit.relative + kBackupSuffix;
    const auto backup = readPlainFile(game.root, backupName, kMaxDataFileBytes, inGameFolder(game, backupName).string());
    if (!backup) return;
    if (textOf(*backup) == edit.removed.text) removePlainFile(game.root, backupName);
    else result.keptBackups.push_back(backupName);
}

} // namespace

bool InstallStatus::intact() const {
    return installed && blockAsWritten &&
           std::all_of(files.begin(), files.end(), [](const RecordedFile& f) { return f.state == FileState::AsWritten; });
}

InstallStatus installStatus(const GameFolder& game, StatusDepth depth) {
    InstallStatus status;
    if (standingOf(game.root, kRecordPath) == Standing::Missing) return status;
    const InstallRecord record = readInstallRecord(game);
    status.installed = true;
    status.version = record.version;
    status.details = record.details;
    for (const RecordFile& file : record.files)
        status.files.push_back({file.path, depth == StatusDepth::Everything ? stateOf(game, file) : FileState::AsWritten});
    if (depth == StatusDepth::RecordOnly) {
        for (const RecordDataFile& data : record.dataFiles) status.lines.insert(status.lines.end(), data.lines.begin(), data.lines.end());
        return status;
    }
    status.blockPresent = true;
    status.blockAsWritten = true;
    for (const RecordDataFile& data : record.dataFiles) {
        status.lines.insert(status.lines.end(), data.lines.begin(), data.lines.end());
        refuseLinksOnTheWay(game.root, data.path);
        const std::string text = dataFileText(game, data.path);
        const auto lines = blockLines(text);
        const std::vector<std::string> stray = strayInstallLines(text);
        status.blockPresent = status.blockPresent && lines.has_value();
        status.blockAsWritten = status.blockAsWritten && lines && *lines == data.lines && stray.empty();
        if (lines) status.linesNow.insert(status.linesNow.end(), lines->begin(), lines->end());
        status.linesNow.insert(status.linesNow.end(), stray.begin(), stray.end());
    }
    return status;
}

UninstallResult uninstall(const GameFolder& game) {
    tidyAfterKilledInstalls(game.root);
    UninstallResult result;
    const std::string gameData = relativeTo(game, game.gameDataFile);
    if (standingOf(game.root, kRecordPath) == Standing::Missing) {
        // The install's folder went (removed by hand) but its lines may still name its files, and the game
        // would not start: the lines alone can still go.
        const DataFileEdit edit = planDataFileEdit(game, gameData, installLinesOf(dataFileText(game, gameData)));
        if (!edit.removed.changed) throw VeldrinError(texts::noInstall(game.root));
        applyDataFileEdit(game, edit, result);
        return result;
    }
    // Everything is read and checked before anything changes: a link on any recorded path, lines that
    // cannot be placed or a read-only data file stop the uninstall with the game folder as it was.
    const InstallRecord record = readInstallRecord(game);
    std::vector<FileState> states;
    for (const RecordFile& file : record.files) states.push_back(stateOf(game, file));
    std::vector<DataFileEdit> edits;
    for (const RecordDataFile& data : record.dataFiles) edits.push_back(planDataFileEdit(game, data.path, data.lines));

    // The data file first: from then on the game names none of the files removed below.
    for (const DataFileEdit& edit : edits) applyDataFileEdit(game, edit, result);
    for (std::size_t i = 0; i < record.files.size(); ++i) {
        const RecordFile& file = record.files[i];
        if (states[i] == FileState::Changed) result.kept.push_back(file.path);
        else if (states[i] == FileState::AsWritten && removePlainFile(game.root, file.path)) result.removed.push_back(file.path);
    }
    removePlainFile(game.root, kRecordPath);
    removeEmptyFolders(game.root, "veldrin");
    return result;
}

} // namespace veldrin::install
