#include "install/Uninstall.h"

#include <algorithm>

#include "base/Error.h"
#include "base/FileIO.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/InstallRecord.h"

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
    const InstallRecord record = readInstallRecord(game);
    UninstallResult result;
    // The data file first: from then on the game names none of the files removed below.
    for (const RecordDataFile& data : record.dataFiles) {
        const fs::path path = inGameFolder(game, data.path);
        const std::string text = textOf(readBoundedFile(path, kMaxDataFileBytes, path.string()));
        const std::optional<std::string> without = withoutBlock(text);
        if (without) {
            writeWholeFile(path, *without);
            result.blockRemoved = true;
        }
        // The backup of the first install is redundant once the file is back to it; a file edited since
        // keeps its backup.
        const fs::path backup = inGameFolder(game, data.backup);
        std::error_code error;
        if (fs::is_regular_file(backup, error)) {
            if (readWholeFile(backup) == readWholeFile(path)) fs::remove(backup);
            else result.keptBackups.push_back(data.backup);
        }
    }
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
