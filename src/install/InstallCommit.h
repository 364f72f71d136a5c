#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "install/GameFolder.h"

namespace veldrin::install {

// One line the install adds to the game's data file: keyword "IMG", "IDE", "COLFILE" or "IPL" and a path
// relative to the game folder with backslashes ("veldrin\\veldrin.img"). The line's text is dataLineText's.
struct DataLine {
    std::string keyword;
    std::string path;
};

// The files of an install laid out in a staging folder as GAME_DIR/veldrin/ will be, the lines the data
// file gets (in the order the game must read them) and the details the install record keeps.
struct StagedInstall {
    std::filesystem::path staging;
    std::vector<DataLine> lines;
    nlohmann::json details; // ids, names, options, levels
};

// The line as the game's data file gets it: an archive is "CDIMAGE path" in GTA 3 and VC, "IMG path" in
// SA; collision is "COLFILE 0 path" (0: the whole map).
std::string dataLineText(TargetGame target, const DataLine& line);

// Why the game folder cannot take an install now, each a full message; empty when it can. Checked again
// by the commit, and by the plan before anything is converted: a link where the install's folder, the
// data file or its backup go, a data file that is read-only or holds lines of an earlier install outside
// a complete marked block, a veldrin folder that is not an install's, an earlier install whose files were
// changed since.
std::vector<std::string> installRefusals(const GameFolder& game);

// A new, empty staging folder inside the game folder (so on its file system, and the move is a rename).
std::filesystem::path makeStagingFolder(const GameFolder& game);

// The steps of a commit, in order; a stop or failure at any of them leaves the game folder as it was.
enum class CommitStep { CheckStaging, WriteRecord, MoveAside, MoveIn, BackUpDataFile, EditDataFile, Finish };

// For the tests: called before each step; it may throw to inject a failure there.
using CommitProbe = std::function<void(CommitStep)>;

// All or nothing: moves the staged files into GAME_DIR/veldrin/ (replacing an earlier install, whose
// block leaves the data file too), writes the install record (every file with size and SHA-256, the
// lines, the details, the version), edits the data file last (temporary file and rename; the first
// install keeps a backup of it, never overwritten). `stopRequested` is asked between steps. On a stop or
// failure everything done is undone and VeldrinError says the game folder was left as it was.
// The staging folder is removed in every case.
void commitInstall(const GameFolder& game, StagedInstall staged, const std::function<bool()>& stopRequested,
                   const CommitProbe& probe = {});

} // namespace veldrin::install
