#include "base/TextUtil.h"

#include <algorithm>

#include <charconv>

namespace veldrin {

std::string toUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string toLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string_view trimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::optional<double> parseDecimal(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string openingBytes(std::span<const uint8_t> bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 4);
    if (n == 0) return "nothing";
    if (std::all_of(bytes.begin(), bytes.begin() + n, [](uint8_t b) { return b >= 0x20 && b < 0x7F; }))
        return "\"" + std::string(bytes.begin(), bytes.begin() + n) + "\"";
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < n; ++i) hex += std::string(i ? " " : "") + digits[bytes[i] >> 4] + digits[bytes[i] & 15];
    return hex;
}

std::string commaSeparated(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

std::string indentedLines(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += "\n  " + item;
    return out;
}

} // namespace veldrin
