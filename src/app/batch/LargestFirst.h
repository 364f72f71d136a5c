#pragma once
#include <cstddef>
#include <vector>

#include "app/batch/BatchRun.h"

namespace veldrin {

// The levels' indices, largest input first (the world and archive files' sizes; a file that cannot be
// sized counts nothing), ties in name order. Levels read or converted side by side in this order keep
// the longest together, so small levels fill the cores at the end rather than one large level alone.
std::vector<std::size_t> largestFirst(const std::vector<BatchLevel>& plan);

} // namespace veldrin
