#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace veldrin {

std::string toUpper(std::string_view s);
std::string toLower(std::string_view s);
std::string_view trimBlanks(std::string_view s);

// Whole-text decimal parsing with "." as the separator whatever the locale; nullopt when the
// text (after trimming blanks) is not exactly one number.
std::optional<double> parseDecimal(std::string_view text);
std::optional<long long> parseInteger(std::string_view text);

} // namespace veldrin
