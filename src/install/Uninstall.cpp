#include "install/Uninstall.h"

#include <algorithm>

#include "base/Error.h"
#include "base/FileIO.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/InstallRecord.h"
#include "internal/InstallTexts.h"
#include "internal/KilledInstalls.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

std::string textOf(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Folders the install made that are empty once its files are gone, deepest first, then veldrin/ itself.
void removeEmptyFolders(const fs::path& folder) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_directory()) folders.push_back(it->path());
    std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) { return a.native().size() > b.native().size(); });
    folders.push_back(folder);
    for (const fs::path& f : folders)
        if (fs::is_empty(f, error)) fs::remove(f, error);
}

// Takes the install's block out of the data file, and drops the first install's backup once the file is
// back to it (a file edited since keeps its backup).
void restoreDataFile(const GameFolder& game, const std::string& relative, UninstallResult& result) {
    const fs::path path = inGameFolder(game, relative);
    std::string text = textOf(readBoundedFile(path, kMaxDataFileBytes, path.string()));
    if (std::optional<std::string> without = withoutBlock(text)) {
        if (!ownerMayWrite(path)) throw VeldrinError(texts::readOnlyDataFile(path));
        writeWholeFile(path, *without);
        result.blockRemoved = true;
        text = std::move(*without);
    }
    const std::string backupName = relative + kBackupSuffix;
    const fs::path backup = inGameFolder(game, backupName);
    std::error_code error;
    if (!fs::is_regular_file(backup, error)) return;
    if (textOf(readWholeFile(backup)) == text) fs::remove(backup);
    else result.keptBackups.push_back(backupName);
}

} // namespace

bool InstallStatus::intact() const {
    return installed && blockAsWritten &&
           std::all_of(files.begin(), files.end(), [](const RecordedFile& f) { return f.state == FileState::AsWritten; });
}

InstallStatus installStatus(const GameFolder& game) {
    InstallStatus status;
    std::error_code error;
    if (!fs::is_regular_file(installFolder(game) / kRecordName, error)) return status;
    const InstallRecord record = readInstallRecord(game);
    status.installed = true;
    status.version = record.version;
    status.details = record.details;
    for (const RecordFile& file : record.files) status.files.push_back({file.path, stateOf(game, file)});
    status.blockPresent = true;
    status.blockAsWritten = true;
    for (const RecordDataFile& data : record.dataFiles) {
        status.lines.insert(status.lines.end(), data.lines.begin(), data.lines.end());
        const fs::path path = inGameFolder(game, data.path);
        const auto lines = blockLines(textOf(readBoundedFile(path, kMaxDataFileBytes, path.string())));
        status.blockPresent = status.blockPresent && lines.has_value();
        status.blockAsWritten = status.blockAsWritten && lines && *lines == data.lines;
    }
    return status;
}

UninstallResult uninstall(const GameFolder& game) {
    tidyAfterKilledInstalls(game.root);
    UninstallResult result;
    std::error_code error;
    if (!fs::is_regular_file(installFolder(game) / kRecordName, error)) {
        // The install's folder went (removed by hand) but its lines may still name its files, and the game
        // would not start: the block alone can still go.
        const std::string relative = game.gameDataFile.lexically_relative(game.root).generic_string();
        restoreDataFile(game, relative, result);
        if (!result.blockRemoved) throw VeldrinError(texts::noInstall(game.root));
        return result;
    }
    const InstallRecord record = readInstallRecord(game);
    // The data file first: from then on the game names none of the files removed below.
    for (const RecordDataFile& data : record.dataFiles) restoreDataFile(game, data.path, result);
    for (const RecordFile& file : record.files) {
        switch (stateOf(game, file)) {
        case FileState::AsWritten:
            fs::remove(inGameFolder(game, file.path));
            result.removed.push_back(file.path);
            break;
        case FileState::Changed: result.kept.push_back(file.path); break;
        case FileState::Missing: break;
        }
    }
    fs::remove(installFolder(game) / kRecordName);
    removeEmptyFolders(installFolder(game));
    return result;
}

} // namespace veldrin::install
