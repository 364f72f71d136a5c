#include "app/install/InstallNames.h"

#include <cstdint>
#include <optional>

namespace veldrin {

namespace {

// The base letters of U+00C0..U+00FF and U+0100..U+017F in lower case (level names are lower case);
// "_" for the letters that are no accented base letter (æ, ß, þ, ĳ, œ) and the signs × and ÷.
constexpr std::string_view kLatin1Bases = "aaaaaa_ceeeeiiiidnooooo_ouuuuy__aaaaaa_ceeeeiiiidnooooo_ouuuuy_y";
constexpr std::string_view kLatinExtendedABases =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii__jjkkkllllllllllnnnnnnnnnoooooo__rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(kLatin1Bases.size() == 0x40 && kLatinExtendedABases.size() == 0x80);

// The code point that starts at `at` and its length in bytes; none for a byte that starts no valid
// UTF-8 sequence (then that byte alone is replaced).
std::optional<std::pair<char32_t, std::size_t>> codePointAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<uint8_t>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size()) return std::nullopt;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    return std::make_pair(cp, length);
}

char installableChar(char32_t cp) {
    if (cp >= 0xC0 && cp < 0x100) return kLatin1Bases[cp - 0xC0];
    if (cp >= 0x100 && cp < 0x180) return kLatinExtendedABases[cp - 0x100];
    if (cp <= 0x20 || cp >= 0x7F || cp == ',' || cp == '/' || cp == '\\') return '_';
    return static_cast<char>(cp);
}

} // namespace

std::string installableName(std::string_view utf8) {
    std::string name;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto cp = codePointAt(utf8, at);
        name += cp ? installableChar(cp->first) : '_';
        at += cp ? cp->second : 1;
    }
    return name;
}

} // namespace veldrin
