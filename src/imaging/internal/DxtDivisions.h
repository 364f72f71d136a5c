#pragma once
// The block encoder's integer divisions as a multiply and a shift, for vector lanes that have no
// integer division. Each is checked here over every value the encoder can divide, so the vector
// encoder computes exactly what the plain one does.
#include <cstdint>

namespace veldrin {

struct ExactDivision {
    int32_t divisor;
    int32_t multiplier;
    int shift;
    int32_t largestDividend;
};

constexpr ExactDivision exactDivision(int32_t divisor, int32_t largestDividend, int shift) {
    return {divisor, static_cast<int32_t>(((int64_t{1} << shift) + divisor - 1) / divisor), shift, largestDividend};
}

constexpr bool dividesExactly(const ExactDivision& division) {
    for (int64_t n = 0; n <= division.largestDividend; ++n) {
        const int64_t product = n * division.multiplier;
        if (product > INT32_MAX || (product >> division.shift) != n / division.divisor) return false;
    }
    return true;
}

// 565 expansion: x * 255 / 31 and x * 255 / 63. Palette thirds: (2a + b + 1) / 3 with a, b <= 255.
inline constexpr ExactDivision kDivideBy31 = exactDivision(31, 31 * 255, 20);
inline constexpr ExactDivision kDivideBy63 = exactDivision(63, 63 * 255, 20);
inline constexpr ExactDivision kDivideBy3 = exactDivision(3, 3 * 255 + 1, 16);
static_assert(dividesExactly(kDivideBy31) && dividesExactly(kDivideBy63) && dividesExactly(kDivideBy3));

} // namespace veldrin
