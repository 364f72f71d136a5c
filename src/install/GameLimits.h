#pragma once
#include <string>
#include <vector>

#include "install/GameContent.h"
#include "install/GameFolder.h"

namespace veldrin::install {

// What an install adds to the game.
struct AddedContent {
    int highestId = -1;      // the highest id the install defines
    int dictionaries = 0;
    int collisionFiles = 0;  // collision files added as archive entries (.col), a slot each; COLFILE lines take none
    int archives = 0;        // IMG lines added
    int placements = 0;
    int largestIplPlacements = 0; // placements of the install's largest IPL file
};

// One limit of the target game: the figure the game would reach after the install, and the limit.
// Over when figure > limit.
struct LimitRow {
    std::string what;
    long long figure = 0;
    long long limit = 0;      // the game's limit: the stock one, or as its limit adjusters set it
    long long stockLimit = 0; // without a limit adjuster
    bool unlimited = false;   // a limit adjuster lifts the limit
    std::string source;       // the adjusters' files that set it; empty: the stock limit
    bool over() const { return !unlimited && figure > limit; }
};

// The target's limits as the public modding references give them, or as the game's limit adjusters
// (content.adjusters) set them, each with the game's figure plus the install's, in a fixed order.
std::vector<LimitRow> limitTable(const GameFolder& game, const GameContent& content, const AddedContent& added);

// The rows over their limit, as "<what>: <figure> of <limit> (<n> over)" with the table's numbers
// ("9,901"), one per row; empty when none.
std::vector<std::string> limitsPassed(const std::vector<LimitRow>& rows);

// A figure of the table: "9,901".
std::string limitNumberText(long long n);

// The placements one IPL file of the target may hold without a limit adjuster; 0: no such limit. An
// install writes no file past it (whatever an adjuster allows), and a level's placements as
// iplFilesFor files.
long long placementsPerIplFile(TargetGame target);
long long iplFilesFor(TargetGame target, long long placements);

} // namespace veldrin::install
