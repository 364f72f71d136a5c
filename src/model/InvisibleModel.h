#pragma once
#include <cstdint>
#include <vector>

#include "base/Editions.h"

namespace veldrin {

// A model file for objects that are there only for their collision: one geometry whose single
// triangle has all three corners at the origin and fully transparent vertex colours, so it covers no
// pixel, with one untextured material (no texture chunk). The games load it as any other model.
std::vector<uint8_t> invisibleDff(TargetGame target);

} // namespace veldrin
