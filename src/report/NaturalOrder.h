#pragma once
#include <string_view>

namespace veldrin {

// Whether name `a` comes before `b` as a modder reads a list of names: runs of digits compare as
// numbers ("ps2" < "ps20" < "ps21" < "ps210", "tex9" < "tex10"), letters without regard to case. Names
// equal that way keep a fixed order (fewer leading zeros first, then the bytes), so sorting is stable
// from run to run.
bool naturalLess(std::string_view a, std::string_view b);

} // namespace veldrin
