#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin::inspect {

// One section of an item definition (IDE) or placement (IPL) file: its keyword line, the lines up to
// its "end", and whether that "end" came.
struct TextSection {
    std::string keyword; // lower case
    std::size_t line = 0; // of the keyword, from 1
    std::size_t lines = 0; // entries: neither blank nor comments
    bool closed = true;
};

// The sections of an IDE or IPL file. Blank lines and lines opening with '#' are not counted. Refuses,
// with VeldrinError naming `what` and the line, bytes that are not text (a zero byte).
std::vector<TextSection> readTextSections(std::span<const uint8_t> text, const std::string& what);

// True when the file's first bytes hold no zero and no control characters beside tabs and line ends.
bool looksLikeText(std::span<const uint8_t> bytes);

// Keywords seen only in definitions, and only in placements.
bool isDefinitionKeyword(const std::string& keyword);
bool isPlacementKeyword(const std::string& keyword);

} // namespace veldrin::inspect
