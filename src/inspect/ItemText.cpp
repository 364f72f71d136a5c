#include "inspect/ItemText.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "base/Error.h"

namespace veldrin::inspect {

namespace {

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return out;
}

template <std::size_t N>
bool among(const std::string& word, const std::array<const char*, N>& words) {
    return std::find_if(words.begin(), words.end(), [&](const char* w) { return word == w; }) != words.end();
}

} // namespace

bool isDefinitionKeyword(const std::string& keyword) {
    static constexpr std::array<const char*, 8> words{"objs", "tobj", "hier", "peds", "weap", "anim", "txdp", "2dfx"};
    return among(keyword, words);
}

bool isPlacementKeyword(const std::string& keyword) {
    static constexpr std::array<const char*, 11> words{"inst", "zone", "cull", "pick", "occl", "mult", "grge", "enex", "jump", "tcyc", "auzo"};
    return among(keyword, words);
}

bool looksLikeText(std::span<const uint8_t> bytes) {
    const auto head = bytes.first(std::min<std::size_t>(bytes.size(), 4096));
    return !head.empty() && std::all_of(head.begin(), head.end(), [](uint8_t b) { return b >= 0x20 || b == '\t' || b == '\n' || b == '\r'; });
}

std::vector<TextSection> readTextSections(std::span<const uint8_t> bytes, const std::string& what) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<TextSection> sections;
    bool inside = false;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t newline = text.find('\n', start);
        const std::string_view raw = text.substr(start, newline == std::string_view::npos ? std::string_view::npos : newline - start);
        start = newline == std::string_view::npos ? text.size() : newline + 1;
        ++number;
        if (raw.find('\0') != std::string_view::npos) {
            throw VeldrinError(what + ": line " + std::to_string(number) + " holds a zero byte: this is not a text file");
        }
        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == '#') continue;
        if (!inside) {
            sections.push_back({lower(line.substr(0, line.find_first_of(" \t,"))), number, 0, false});
            inside = true;
        } else if (lower(line) == "end") {
            sections.back().closed = true;
            inside = false;
        } else {
            ++sections.back().lines;
        }
    }
    return sections;
}

} // namespace veldrin::inspect
