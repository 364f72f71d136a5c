#include "collision/StoriesColModel.h"

namespace veldrin {

std::optional<StoriesEdition> parseStoriesEdition(std::string_view text) {
    if (text == "lcs") return StoriesEdition::LCS;
    if (text == "vcs") return StoriesEdition::VCS;
    return std::nullopt;
}

} // namespace veldrin
