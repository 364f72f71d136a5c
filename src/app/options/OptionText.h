#pragma once
#include <initializer_list>
#include <string>

#include "base/Editions.h"

namespace veldrin {

// Option values as typed, for the option table and the command line alike. Each refuses with
// VeldrinError naming the option and the values it takes.

// A whole number from `low` to `high`.
int wholeNumberIn(const std::string& option, const std::string& text, long long low, long long high);
// One of `names`, whatever its case, as its index.
int choiceIndex(const std::string& option, const std::string& text, std::initializer_list<const char*> names);
// "gta3", "vc" or "sa", whatever its case.
TargetGame targetGameOf(const std::string& text);
// The games of a set of target bits (1 GTA 3, 2 GTA VC, 4 GTA SA) joined by "and", each named as
// `names` gives them in that order: "vc and sa".
std::string targetGamesText(unsigned targets, const char* const (&names)[3]);

} // namespace veldrin
