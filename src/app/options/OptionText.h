#pragma once
#include <initializer_list>
#include <string>

namespace veldrin {

// Option values as typed, for the option table and the command line alike. Each refuses with
// VeldrinError naming the option and the values it takes.

// A whole number from `low` to `high`.
int wholeNumberIn(const std::string& option, const std::string& text, long long low, long long high);
// One of `names`, whatever its case, as its index.
int choiceIndex(const std::string& option, const std::string& text, std::initializer_list<const char*> names);

} // namespace veldrin
