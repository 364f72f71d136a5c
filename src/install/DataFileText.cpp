#include "internal/DataFileText.h"

#include <algorithm>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "internal/GamePath.h"

namespace veldrin::install {

namespace {

bool isMarker(std::string_view line, std::string_view marker) { return trimBlanks(line) == marker; }

// A keyword line naming a file of the install's folder, in any of its words.
bool namesInstallFile(std::string_view line) {
    const std::string_view content = trimBlanks(line);
    if (content.empty() || content.front() == '#') return false;
    const std::vector<std::string> words = splitWords(content);
    return std::any_of(words.begin() + std::min<std::size_t>(1, words.size()), words.end(),
                       [](const std::string& w) { return isInInstallFolder(w); });
}

std::string numbered(std::size_t index, std::string_view content) {
    return "line " + std::to_string(index + 1) + ": " + std::string(trimBlanks(content));
}

// For each line, whether a complete marked block holds it (the markers included).
std::vector<bool> inCompleteBlocks(const std::vector<TextLine>& lines) {
    std::vector<bool> inside(lines.size(), false);
    constexpr std::size_t kNone = std::size_t(-1);
    std::size_t begin = kNone;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isMarker(lines[i].content, kBlockBegin)) begin = i;
        else if (begin != kNone && isMarker(lines[i].content, kBlockEnd)) {
            std::fill(inside.begin() + std::ptrdiff_t(begin), inside.begin() + std::ptrdiff_t(i) + 1, true);
            begin = kNone;
        }
    }
    return inside;
}

} // namespace

std::vector<TextLine> splitLines(std::string_view text) {
    std::vector<TextLine> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view content = text.substr(start, end - start);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        lines.push_back({start, content, next});
        start = next;
    }
    return lines;
}

std::vector<std::string> splitAt(std::string_view text, std::string_view separators) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (separators.find(c) != std::string_view::npos) {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::vector<DataFileLine> readDataFileLines(std::span<const uint8_t> bytes, const std::string& what) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<DataFileLine> out;
    bool inBlock = false;
    std::size_t number = 0;
    for (const TextLine& line : splitLines(text)) {
        ++number;
        if (line.content.find('\0') != std::string_view::npos)
            throw VeldrinError(what + ": line " + std::to_string(number) + " holds a zero byte: this is not a text file");
        if (isMarker(line.content, kBlockBegin)) inBlock = true;
        if (isMarker(line.content, kBlockEnd)) inBlock = false;
        const std::string_view content = trimBlanks(line.content);
        if (content.empty() || content.front() == '#') continue;
        std::vector<std::string> words = splitWords(content);
        if (words.empty()) continue; // separators alone: nothing the game reads
        DataFileLine parsed;
        parsed.number = number;
        parsed.keyword = toUpper(words.front());
        parsed.words.assign(words.begin() + 1, words.end());
        parsed.inInstallBlock = inBlock;
        out.push_back(std::move(parsed));
    }
    return out;
}

std::string lineEndingOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) return "\r\n";
    return text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
}

std::optional<std::string> withoutBlock(std::string_view text) {
    std::string out;
    bool found = false;
    bool inBlock = false;
    std::size_t blockStart = 0;
    bool crlfBlock = false; // the block's lines end in "\r\n", and so did the line break put before it
    std::size_t copied = 0; // text before this is in `out` or removed
    for (const TextLine& line : splitLines(text)) {
        if (!inBlock && isMarker(line.content, kBlockBegin)) {
            inBlock = true;
            blockStart = line.start;
            crlfBlock = line.next - line.start >= line.content.size() + 2;
            out.append(text.substr(copied, blockStart - copied));
            continue;
        }
        if (inBlock && isMarker(line.content, kBlockEnd)) {
            inBlock = false;
            found = true;
            copied = line.next;
            // A block ending the file without a line ending was put after a line break of its own.
            if (line.next == text.size() && (text.empty() || text.back() != '\n')) {
                if (!out.empty() && out.back() == '\n') out.pop_back();
                if (crlfBlock && !out.empty() && out.back() == '\r') out.pop_back();
            }
        }
    }
    if (inBlock) {
        // A begin marker without its end: the block was cut short by hand; everything after it stays.
        out.append(text.substr(blockStart));
        copied = text.size();
    }
    if (!found) return std::nullopt;
    out.append(text.substr(copied));
    return out;
}

std::string withBlock(std::string_view text, const std::vector<std::string>& lines) {
    std::optional<std::string> without = withoutBlock(text);
    std::string out = without ? std::move(*without) : std::string(text);
    const std::string ending = lineEndingOf(out.empty() ? text : std::string_view(out));
    const bool endsOpen = !out.empty() && out.back() != '\n';
    if (endsOpen) out += ending;
    out += kBlockBegin;
    out += ending;
    for (const std::string& line : lines) {
        out += line;
        out += ending;
    }
    out += kBlockEnd;
    if (!endsOpen) out += ending;
    return out;
}

std::optional<std::vector<std::string>> blockLines(std::string_view text) {
    std::optional<std::vector<std::string>> lines;
    for (const TextLine& line : splitLines(text)) {
        if (!lines) {
            if (isMarker(line.content, kBlockBegin)) lines.emplace();
        } else if (isMarker(line.content, kBlockEnd)) {
            return lines;
        } else {
            lines->emplace_back(line.content);
        }
    }
    return std::nullopt;
}

std::vector<std::string> strayInstallLines(std::string_view text) {
    const std::vector<TextLine> lines = splitLines(text);
    const std::vector<bool> inside = inCompleteBlocks(lines);
    std::vector<std::string> stray;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (inside[i]) continue;
        const std::string_view content = lines[i].content;
        if (isMarker(content, kBlockBegin) || isMarker(content, kBlockEnd) || namesInstallFile(content))
            stray.push_back(numbered(i, content));
    }
    return stray;
}

std::vector<std::string> installLinesOf(std::string_view text) {
    std::vector<std::string> lines;
    for (const TextLine& line : splitLines(text))
        if (namesInstallFile(line.content)) lines.emplace_back(line.content);
    return lines;
}

LinesRemoved withoutInstallLines(std::string_view text, const std::vector<std::string>& recorded) {
    LinesRemoved result;
    if (blockLines(text) == recorded && strayInstallLines(text).empty()) {
        if (std::optional<std::string> without = withoutBlock(text)) {
            result.text = std::move(*without);
            result.changed = true;
            return result;
        }
    }
    // Damaged markers or an edited block: line by line. A recorded line matches in any letter case and
    // spacing, as the game reads it.
    const auto key = [](std::string_view line) {
        std::string k;
        for (const std::string& word : splitWords(trimBlanks(line))) k += toLower(word) + " ";
        return k;
    };
    std::vector<std::string> wanted;
    for (const std::string& line : recorded) wanted.push_back(key(line));
    const std::vector<TextLine> lines = splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        const bool marker = isMarker(line.content, kBlockBegin) || isMarker(line.content, kBlockEnd);
        const auto match = marker ? wanted.end() : std::find(wanted.begin(), wanted.end(), key(line.content));
        if (marker || match != wanted.end()) {
            if (match != wanted.end()) wanted.erase(match);
            result.changed = true;
            continue;
        }
        if (namesInstallFile(line.content)) result.unplaced.push_back(numbered(i, line.content));
        result.text.append(text.substr(line.start, line.next - line.start));
    }
    return result;
}

} // namespace veldrin::install
