#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "install/GameFolder.h"

namespace veldrin::install {

// The limits of the table that a limit adjuster's configuration may raise.
enum class AdjustableLimit { ModelIds, DictionarySlots, CollisionSlots, Buildings, Treadables, Dummies, PlacementsPerIpl };

// One limit as a configuration file sets it.
struct AdjustedLimit {
    long long value = 0;    // the limit the adjuster gives the game
    bool unlimited = false; // the adjuster lifts the limit ("unlimited")
    std::string source;     // the configuration file's name
};

// What the adjusters found in a game folder set, and what they set that is not taken.
struct LimitAdjustments {
    std::map<AdjustableLimit, AdjustedLimit> limits;
    std::vector<std::string> notes; // one sentence per setting or file not taken; the stock limit stands for it
};

// The configuration of one adjuster: its file name and the format it is read by.
enum class AdjusterFormat { Fastman92, OpenLimitAdjuster };
struct AdjusterFile {
    const char* name;
    AdjusterFormat format;
};

// The files each target's widely used adjusters read, in the order they are taken: a limit the first
// sets is not taken again from a later one.
std::vector<AdjusterFile> adjusterFiles(TargetGame target);

// The limits one configuration text sets for `target`. Untrusted text: unknown sections and keys are
// passed over; a known key whose value is not a whole number in range (or "unlimited" where its adjuster
// allows it) is a note, as is text that is not text. `source` names the file in the notes.
LimitAdjustments readAdjusterText(std::string_view text, AdjusterFormat format, TargetGame target, const std::string& source);

// Every adjuster configuration of the game's target in its folder, or in its "scripts" or "plugins"
// folder, where the ASI loaders load plugins from; a file past kMaxAdjusterBytes is a note, not read.
LimitAdjustments readLimitAdjusters(const GameFolder& game);

// Far above anything the adjusters ship; a value above it is a note.
inline constexpr long long kMaxAdjustedLimit = 10'000'000;
inline constexpr std::uintmax_t kMaxAdjusterBytes = 1u << 20;

} // namespace veldrin::install
