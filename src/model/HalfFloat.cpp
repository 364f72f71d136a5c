#include "internal/HalfFloat.h"

#include <bit>

namespace veldrin {

float halfToFloat(uint16_t half) {
    const uint32_t sign = static_cast<uint32_t>(half & 0x8000) << 16;
    int32_t exponent = (half >> 10) & 0x1F;
    uint32_t mantissa = half & 0x03FF;

    if (exponent == 0x1F) return std::bit_cast<float>(sign | 0x7F800000u | (mantissa << 13));
    if (exponent == 0) {
        if (mantissa == 0) return std::bit_cast<float>(sign);
        // Subnormal half: shift the mantissa up until its leading bit becomes the implicit one.
        exponent = 1;
        while ((mantissa & 0x0400) == 0) {
            mantissa <<= 1;
            --exponent;
        }
        mantissa &= 0x03FF;
    }
    return std::bit_cast<float>(sign | (static_cast<uint32_t>(exponent + 112) << 23) | (mantissa << 13));
}

} // namespace veldrin
