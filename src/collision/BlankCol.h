#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Editions.h"

namespace veldrin {

inline constexpr std::size_t kBlankColSize = 92;     // "COLL": GTA 3 and GTA VC
inline constexpr std::size_t kBlankCol3Size = 120;   // "COL3": GTA SA
inline constexpr std::size_t kColNameFieldSize = 20; // followed directly by "CED2"

// Appends a collision record that carries only a name and the model's bounds: "COL3" for GTA SA,
// "COLL" otherwise. The bounding sphere is centred on the box, its radius reaching the maximum
// corner. Refuses a name longer than 19 characters, which would not read back as the same name.
void writeBlankCol(std::vector<uint8_t>& out, TargetGame target, const std::string& name, std::array<float, 3> min,
                   std::array<float, 3> max);

} // namespace veldrin
