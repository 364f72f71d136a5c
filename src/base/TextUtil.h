#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veldrin {

std::string toUpper(std::string_view s);
std::string toLower(std::string_view s);
std::string_view trimBlanks(std::string_view s);

// Whole-text decimal parsing with "." as the separator whatever the locale; nullopt when the
// text (after trimming blanks) is not exactly one number.
std::optional<double> parseDecimal(std::string_view text);
std::optional<long long> parseInteger(std::string_view text);

// What a file opens with, for the reason of a refusal: its first four bytes as text in quotes when
// they are printable ("GATG"), else in hexadecimal (1F 8B 08 00); "nothing" for an empty file.
std::string openingBytes(std::span<const uint8_t> bytes);

// "a, b, c": the items in a sentence.
std::string commaSeparated(const std::vector<std::string>& items);
// "\n  a\n  b": the items under a message, a line each, indented.
std::string indentedLines(const std::vector<std::string>& items);

} // namespace veldrin
