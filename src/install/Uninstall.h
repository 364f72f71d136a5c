#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "install/GameFolder.h"

namespace veldrin::install {

// How one recorded file stands now against the record.
enum class FileState { AsWritten, Changed, Missing };

struct RecordedFile {
    std::string path; // relative to the game folder, forward slashes
    FileState state = FileState::AsWritten;
};

// What is installed in a game folder and whether it is still as written.
struct InstallStatus {
    bool installed = false;            // an install record is there
    std::string version;               // of the Veldrin that installed it
    std::vector<RecordedFile> files;
    std::vector<std::string> lines;    // the data-file lines the record lists
    std::vector<std::string> linesNow; // the block's lines as they stand, and lines of the install outside it
    bool blockPresent = false;         // the marked block is still in the data file
    bool blockAsWritten = false;       // and holds exactly the recorded lines
    nlohmann::json details;
    bool intact() const;               // every file as written and the block as written
};

// How much installStatus reads: the record alone (version, details, the files' paths; their states left
// as written, unread), or the state of every recorded file (hashed) and of the data file's block too.
enum class StatusDepth { RecordOnly, Everything };

InstallStatus installStatus(const GameFolder& game, StatusDepth depth = StatusDepth::Everything);

struct UninstallResult {
    std::vector<std::string> removed;  // files removed, relative to the game folder
    std::vector<std::string> kept;     // files changed since the install, kept
    bool blockRemoved = false;
    std::vector<std::string> keptBackups; // first-install backups of data files edited since, kept
};

// Removes exactly what the install record lists (a file changed since is kept and named) and the install's
// lines of the data file, keeping every other edit: the marked block, or, when its markers were damaged,
// each recorded line wherever it stands. Everything is checked first; a link on a recorded path, lines
// naming the install's files that the record does not list, or a read-only data file throw VeldrinError
// with nothing changed. Without an install record (its folder removed by hand) it removes the install's
// lines alone; throws VeldrinError when there are none either.
UninstallResult uninstall(const GameFolder& game);

} // namespace veldrin::install
