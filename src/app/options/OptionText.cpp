#include "app/options/OptionText.h"

#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

int wholeNumberIn(const std::string& option, const std::string& text, long long low, long long high) {
    const auto v = parseInteger(text);
    if (!v || *v < low || *v > high) {
        throw VeldrinError(option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                           ", not \"" + text + "\"");
    }
    return static_cast<int>(*v);
}

int choiceIndex(const std::string& option, const std::string& text, std::initializer_list<const char*> names) {
    const std::string word = toLower(text);
    int index = 0;
    std::string list;
    for (const char* n : names) {
        if (word == n) return index;
        list += (index == 0 ? "" : index + 1 == static_cast<int>(names.size()) ? " or " : ", ") + std::string(n);
        ++index;
    }
    throw VeldrinError("unknown " + option + " \"" + text + "\" (" + list + ")");
}

TargetGame targetGameOf(const std::string& text) {
    const auto target = parseTargetGame(toLower(text));
    if (!target) throw VeldrinError("unknown target \"" + text + "\" (gta3, vc or sa)");
    return *target;
}

std::string targetGamesText(unsigned targets, const char* const (&names)[3]) {
    std::string text;
    for (int i = 0, named = 0; i < 3; ++i)
        if (targets & (1u << i)) text += std::string(named++ ? " and " : "") + names[i];
    return text;
}

} // namespace veldrin
