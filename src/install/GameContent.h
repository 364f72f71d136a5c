#pragma once
#include <set>
#include <string>

#include "install/GameFolder.h"
#include "install/LimitAdjusters.h"

namespace veldrin::install {

// What the game already defines and loads, read from the files its data files name. Names are lower case.
struct GameContent {
    std::set<int> usedIds;                 // every id any IDE section of the game's data files defines
    std::set<std::string> modelNames;
    std::set<std::string> dictionaryNames;
    std::set<std::string> archiveEntries;  // entries of every archive the game loads
    // What the game already uses, for the limits:
    int highestId = -1;
    int dictionaries = 0;    // distinct texture dictionary names of the IDE files
    int collisionFiles = 0;  // collision file slots: the generic one, which every COLFILE line loads into,
                             // and one per collision file (.col) of the archives
    int archives = 0;        // archives the game loads (its own gta3.img included)
    int archiveLines = 0;    // of those, the ones the data files name (IMG, CDIMAGE)
    int ideFiles = 0;
    int iplFiles = 0;
    int placements = 0;      // "inst" lines of the loose IPL files the data files name
    LimitAdjustments adjusters; // the limits the game's limit adjusters set
};

// Reads every IDE file and archive directory the two data files name, and the limit adjusters' settings
// (readLimitAdjusters). Untrusted files: sizes and counts are bounded, and a file that cannot be read is
// refused with VeldrinError naming it and the data file line that named it. The lines and files of an
// earlier Veldrin install are not counted as the game's: an install replaces them.
GameContent readGameContent(const GameFolder& game);

} // namespace veldrin::install
