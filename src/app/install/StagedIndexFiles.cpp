#include "app/install/StagedIndexFiles.h"

#include <algorithm>

#include "app/install/InstallText.h"
#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace {

// The text's lines, each with its line end.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

bool isWord(std::string_view line, std::string_view word) { return toLower(trimBlanks(line)) == word; }

bool isEntry(std::string_view line) {
    const std::string_view t = trimBlanks(line);
    return !t.empty() && t.front() != '#';
}

} // namespace

std::vector<std::string> splitPlacements(std::string_view ipl, std::size_t perFile, const std::string& what) {
    const std::vector<std::string_view> lines = linesOf(ipl);
    const auto inst = std::find_if(lines.begin(), lines.end(), [](std::string_view l) { return isWord(l, "inst"); });
    const auto end = std::find_if(inst, lines.end(), [](std::string_view l) { return isWord(l, "end"); });
    if (inst == lines.end() || end == lines.end())
        throw VeldrinError(installText::unsplittablePlacements(what, perFile));
    const std::size_t entries = std::size_t(std::count_if(inst + 1, end, isEntry));
    if (perFile == 0 || entries <= perFile) return {std::string(ipl)};

    // The sections after inst go whole into the first piece; the others have them empty, so that no
    // entry of theirs (a cull zone, a pickup) is read twice.
    std::string head, tail(*end), emptyTail(*end);
    for (auto it = lines.begin(); it <= inst; ++it) head += *it;
    bool inSection = false;
    for (auto it = end + 1; it != lines.end(); ++it) {
        tail += *it;
        if (!isEntry(*it)) {
            emptyTail += *it;
        } else if (!inSection) { // a section's keyword
            inSection = !isWord(*it, "end");
            emptyTail += *it;
        } else if (isWord(*it, "end")) { // its end; its entries are left out
            inSection = false;
            emptyTail += *it;
        }
    }
    std::vector<std::string> pieces;
    std::string piece = head;
    std::size_t held = 0;
    for (auto it = inst + 1; it != end; ++it) {
        if (isEntry(*it) && held == perFile) {
            pieces.push_back(piece + (pieces.empty() ? tail : emptyTail));
            piece = head;
            held = 0;
        }
        piece += *it;
        held += isEntry(*it);
    }
    pieces.push_back(piece + (pieces.empty() ? tail : emptyTail));
    return pieces;
}

std::vector<DictionaryUse> dictionariesNamed(std::string_view ide) {
    std::vector<DictionaryUse> uses;
    std::string section;
    std::size_t number = 0;
    for (std::string_view line : linesOf(ide)) {
        ++number;
        const std::string_view t = trimBlanks(line);
        if (!isEntry(t)) continue;
        if (section.empty()) {
            section = toLower(t);
            continue;
        }
        if (isWord(t, "end")) {
            section.clear();
            continue;
        }
        if (section != "objs" && section != "tobj") continue;
        // "id, name, dictionary, ..."
        const std::size_t first = t.find(',');
        const std::size_t second = first == std::string_view::npos ? first : t.find(',', first + 1);
        if (second == std::string_view::npos) {
            uses.push_back({number, ""});
            continue;
        }
        const std::size_t third = t.find(',', second + 1);
        uses.push_back({number, std::string(trimBlanks(t.substr(second + 1, third == std::string_view::npos ? t.npos : third - second - 1)))});
    }
    return uses;
}

} // namespace veldrin
