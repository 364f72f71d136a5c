#pragma once
#include <cstdint>

namespace veldrin {

// Exact conversion of an IEEE 754 binary16 value to a 32-bit float: subnormals are normalised, infinities
// and NaNs keep their mantissa bits.
float halfToFloat(uint16_t half);

} // namespace veldrin
