#pragma once
#include <string>
#include <string_view>

namespace veldrin {

// A level's name as the game's files can hold it: a data-file line splits at blanks and commas, and the
// archive's and the IDE's fixed name fields hold ASCII. Letters with an accent become their base letter
// ("città" -> "citta"); every other character outside printable ASCII, a blank, a comma or a slash
// becomes "_" ("my town" -> "my_town"). A name that can go in as it is comes back unchanged.
std::string installableName(std::string_view utf8);

} // namespace veldrin
