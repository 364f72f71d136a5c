#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace veldrin {

// JSON text written directly, for the report's large arrays: the same characters the JSON library
// writes (no spaces, invalid UTF-8 replaced), without building its document first.

// `text` as a JSON string, quotes included, appended to `out`.
void appendJsonString(std::string& out, std::string_view text);
// `texts` as a JSON array of strings, brackets included, appended to `out`.
void appendJsonStrings(std::string& out, const std::vector<std::string>& texts);

} // namespace veldrin
