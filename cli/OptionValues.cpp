#include "cli/OptionValues.h"

#include "base/TextUtil.h"

namespace veldrin::cli {

int integerIn(const std::string& option, const std::string& text, long long low, long long high) {
    const auto v = parseInteger(text);
    if (!v || *v < low || *v > high) {
        throw UsageError{option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not \"" + text + "\""};
    }
    return static_cast<int>(*v);
}

GameVersion editionFrom(const std::string& text) {
    const auto e = parseEdition(toLower(text));
    if (!e) throw UsageError{"unknown edition \"" + text + "\" (lcs-ps2, vcs-ps2, lcs-psp or vcs-psp)"};
    return *e;
}

TargetGame targetGameFrom(const std::string& text) {
    const auto t = parseTargetGame(toLower(text));
    if (!t) throw UsageError{"unknown target \"" + text + "\" (gta3, vc or sa)"};
    return *t;
}

StoriesEdition storiesEditionFrom(const std::string& text) {
    const std::string name = toLower(text);
    if (const auto game = parseStoriesEdition(name)) return *game;
    if (const auto edition = parseEdition(name)) return isVcs(*edition) ? StoriesEdition::VCS : StoriesEdition::LCS;
    throw UsageError{"unknown edition \"" + text + "\" (lcs or vcs; lcs-ps2, vcs-psp and the like name the same games)"};
}

int choiceFrom(const std::string& option, const std::string& text, std::initializer_list<const char*> names) {
    const std::string name = toLower(text);
    int index = 0;
    std::string list;
    for (const char* n : names) {
        if (name == n) return index;
        list += (index == 0 ? "" : index + 1 == static_cast<int>(names.size()) ? " or " : ", ") + std::string(n);
        ++index;
    }
    throw UsageError{"unknown " + option + " \"" + text + "\" (" + list + ")"};
}

std::array<std::string, 3> splitMapOffset(const std::string& text) {
    std::array<std::string, 3> parts;
    std::size_t start = 0;
    for (int axis = 0; axis < 2; ++axis) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            parts[axis] = text.substr(start);
            return parts;
        }
        parts[axis] = text.substr(start, comma - start);
        start = comma + 1;
    }
    parts[2] = text.substr(start);
    return parts;
}

} // namespace veldrin::cli
