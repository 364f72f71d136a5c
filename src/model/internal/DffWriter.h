#pragma once
#include <cstdint>
#include <vector>

#include "base/Editions.h"
#include "model/DffModel.h"

namespace veldrin {

// The DFF bytes for the target game. Throws VeldrinError when a vertex index does not fit 16 bits.
std::vector<uint8_t> writeDff(const DffModel& model, TargetGame target);

} // namespace veldrin
