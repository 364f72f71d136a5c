#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veldrin {

// The install's own IDE and IPL text, as a level run or the collision map wrote it, read back before it
// is committed.

// The IPL as files of at most `perFile` placements each: every piece the whole file with a share of the
// "inst" lines, in order (the head before "inst" and the sections after its "end" in every piece, their
// entries in the first only).
// One piece, the text as it is, when it holds no more than `perFile`. Throws VeldrinError naming `what`
// when the text has no closed "inst" section.
std::vector<std::string> splitPlacements(std::string_view ipl, std::size_t perFile, const std::string& what);

// The texture dictionary each model line of an IDE names (its third field), with the line's number.
struct DictionaryUse {
    std::size_t line = 0;
    std::string dictionary;
};
std::vector<DictionaryUse> dictionariesNamed(std::string_view ide);

} // namespace veldrin
