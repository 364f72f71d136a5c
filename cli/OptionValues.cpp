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

TargetGame targetGameFrom(const std::string& text) {
    try {
        return targetGameOf(text);
    } catch (const VeldrinError& e) {
        throw UsageError{e.what()};
    }
}

StoriesEdition storiesEditionFrom(const std::string& text) {
    const std::string name = toLower(text);
    if (const auto game = parseStoriesEdition(name)) return *game;
    if (const auto edition = parseEdition(name)) return isVcs(*edition) ? StoriesEdition::VCS : StoriesEdition::LCS;
    throw UsageError{"unknown edition \"" + text + "\" (lcs or vcs; lcs-ps2, vcs-psp and the like name the same games)"};
}

} // namespace veldrin::cli
