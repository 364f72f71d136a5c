#include "cli/OptionValues.h"

#include "app/options/OptionText.h"
#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin::cli {

int integerIn(const std::string& option, const std::string& text, long long low, long long high) {
    try {
        return wholeNumberIn(option, text, low, high);
    } catch (const VeldrinError& e) {
        throw UsageError{e.what()};
    }
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
    try {
        return choiceIndex(option, text, names);
    } catch (const VeldrinError& e) {
        throw UsageError{e.what()};
    }
}

} // namespace veldrin::cli
