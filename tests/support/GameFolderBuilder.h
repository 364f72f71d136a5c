#pragma once
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/Editions.h"

namespace veldrin::test {

// What a synthetic game folder defines, as the builder wrote it (names lower case).
struct GameFolderContents {
    std::set<int> ids;
    std::set<std::string> modelNames;
    std::set<std::string> dictionaryNames; // of the IDE lines, TEXDICTION lines and the archives' .txd entries
    std::set<std::string> archiveEntries;
    int placements = 0;     // "inst" lines of the IPL files the data files name
    int collisionFiles = 0; // collision slots: the generic one (COLFILE lines) and one per .col entry
    int archives = 0;
    int archiveLines = 0;
    int ideFiles = 0;
    int iplFiles = 0;
};

struct BuiltGameFolder {
    std::filesystem::path root;
    std::filesystem::path gameDataFile; // data/gta3.dat, data/gta_vc.dat or data/gta.dat
    GameFolderContents contents;
};

// A small game folder of the target, made up (nothing of a real game): default.dat and the game's data
// file with the usual kinds of lines and CRLF line endings, a few IDE files with ids, models and
// dictionaries in each section that defines models, IPL files, and models/gta3.img with entries (with
// its .dir for GTA 3 and VC, VER2 for SA) and one more archive named by a data file line. File and folder
// names on disk differ in letter case from the lines that name them, as they may on the games' own.
BuiltGameFolder buildGameFolder(const std::filesystem::path& root, TargetGame target);

struct ArchiveEntry {
    std::string name;
    std::vector<uint8_t> bytes;
};

// An archive as GTA 3 and VC read it: the directory (.dir) and the data (.img).
std::pair<std::vector<uint8_t>, std::vector<uint8_t>> dirArchive(const std::vector<ArchiveEntry>& entries);
// An archive as SA reads it: one VER2 file.
std::vector<uint8_t> ver2Archive(const std::vector<ArchiveEntry>& entries);

// Every file under `root` with its bytes, for comparing a folder before and after.
std::vector<std::pair<std::string, std::vector<uint8_t>>> folderSnapshot(const std::filesystem::path& root);

} // namespace veldrin::test
