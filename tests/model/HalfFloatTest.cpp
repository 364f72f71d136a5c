#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "internal/HalfFloat.h"

using namespace veldrin;

TEST(HalfFloat, KnownValues) {
    EXPECT_EQ(halfToFloat(0x3C00), 1.0f);
    EXPECT_EQ(halfToFloat(0xC000), -2.0f);
    EXPECT_EQ(halfToFloat(0x3800), 0.5f);
    EXPECT_EQ(halfToFloat(0x3E00), 1.5f);
    EXPECT_EQ(halfToFloat(0x7BFF), 65504.0f);
    EXPECT_EQ(halfToFloat(0x0400), std::ldexp(1.0f, -14)); // smallest normal
    EXPECT_EQ(halfToFloat(0x0001), std::ldexp(1.0f, -24)); // smallest subnormal
    EXPECT_EQ(halfToFloat(0x03FF), std::ldexp(1023.0f, -24));
    EXPECT_EQ(std::bit_cast<uint32_t>(halfToFloat(0x0000)), 0x00000000u);
    EXPECT_EQ(std::bit_cast<uint32_t>(halfToFloat(0x8000)), 0x80000000u); // negative zero keeps its sign
    EXPECT_EQ(std::bit_cast<uint32_t>(halfToFloat(0x7C00)), 0x7F800000u);
    EXPECT_EQ(std::bit_cast<uint32_t>(halfToFloat(0xFC00)), 0xFF800000u);
    EXPECT_EQ(std::bit_cast<uint32_t>(halfToFloat(0x7E01)), 0x7FC02000u); // NaN mantissa kept
}

TEST(HalfFloat, EveryFiniteValueMatchesItsDefinition) {
    for (uint32_t h = 0; h <= 0xFFFF; ++h) {
        const int exponent = (h >> 10) & 0x1F;
        if (exponent == 31) continue;
        const int mantissa = h & 0x3FF;
        const double magnitude =
            exponent == 0 ? std::ldexp(mantissa, -24) : std::ldexp(1024 + mantissa, exponent - 25);
        const double expected = (h & 0x8000) ? -magnitude : magnitude;
        ASSERT_EQ(static_cast<double>(halfToFloat(static_cast<uint16_t>(h))), expected) << std::hex << h;
    }
}
