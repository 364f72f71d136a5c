#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "install/GameFolder.h"
#include "install/Uninstall.h"

namespace veldrin::install {

inline constexpr const char* kRecordName = "install.json";
inline constexpr const char* kBackupSuffix = ".veldrin-backup";

// One file an install wrote: its path relative to the game folder ("veldrin/indust.ide"), size and hash.
struct RecordFile {
    std::string path;
    std::uintmax_t size = 0;
    std::string sha256;
};

// A data file the install edited: its path relative to the game folder, the lines of its block.
struct RecordDataFile {
    std::string path;
    std::string backup;
    std::vector<std::string> lines;
};

// What veldrin/install.json holds.
struct InstallRecord {
    std::string version;
    std::string target;
    std::vector<RecordFile> files;
    std::vector<RecordDataFile> dataFiles;
    nlohmann::json details;
};

// Every file under `folder` (recursively, in path order) as the record lists it once the folder is
// GAME_DIR/veldrin: size and SHA-256 of its bytes. The record file itself is left out.
std::vector<RecordFile> describeFolder(const std::filesystem::path& folder);

nlohmann::json recordJson(const InstallRecord& record);

// Reads and checks the record: every path must lie in the install folder (files) or be a data file of
// `game`, so that a damaged or crafted record cannot make uninstall touch anything else.
InstallRecord readInstallRecord(const GameFolder& game);

// How a recorded file stands now.
FileState stateOf(const GameFolder& game, const RecordFile& file);

// The path of the record's relative path in the game folder.
std::filesystem::path inGameFolder(const GameFolder& game, const std::string& relative);

} // namespace veldrin::install
