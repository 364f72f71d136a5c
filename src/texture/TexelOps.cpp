#include "internal/TexelOps.h"

#include <algorithm>

namespace veldrin {

void expandTexels(std::span<const uint8_t> source, int depth, std::span<uint8_t> indices) {
    if (depth == 8) {
        std::copy_n(source.begin(), indices.size(), indices.begin());
        return;
    }
    const uint8_t* from = source.data();
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = consoleTexel<4>(from, i);
}

} // namespace veldrin
