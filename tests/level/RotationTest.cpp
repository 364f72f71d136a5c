#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "level/Rotation.h"

using namespace veldrin;

namespace {
void expectQuat(const DecodedMatrix& d, float x, float y, float z, float w) {
    EXPECT_NEAR(d.rotation[0], x, 1e-6f);
    EXPECT_NEAR(d.rotation[1], y, 1e-6f);
    EXPECT_NEAR(d.rotation[2], z, 1e-6f);
    EXPECT_NEAR(d.rotation[3], w, 1e-6f);
}
} // namespace

TEST(Rotation, IdentityAndPureScale) {
    const DecodedMatrix id = decodeMatrix({1, 0, 0, 0, 1, 0, 0, 0, 1});
    EXPECT_EQ(id.scale, (std::array<float, 3>{1, 1, 1}));
    expectQuat(id, 0, 0, 0, 1);
    const DecodedMatrix scaled = decodeMatrix({2, 0, 0, 0, 3, 0, 0, 0, 4});
    EXPECT_EQ(scaled.scale, (std::array<float, 3>{2, 3, 4}));
    expectQuat(scaled, 0, 0, 0, 1);
}

TEST(Rotation, EachBranchWithItsSigns) {
    // Positive trace: a quarter turn about z, rows as stored.
    expectQuat(decodeMatrix({0, 1, 0, -1, 0, 0, 0, 0, 1}), 0, 0, -0.7071068f, 0.7071068f);
    // Last branch: k is negative, so z comes out -1.
    const DecodedMatrix half = decodeMatrix({-1, 0, 0, 0, -1, 0, 0, 0, 1});
    expectQuat(half, 0, 0, -1, 0);
    EXPECT_FALSE(std::signbit(half.rotation[3]) && half.rotation[3] != 0);
    // r00 largest: a half turn about x gives x = 0.25 * k = 1.
    expectQuat(decodeMatrix({1, 0, 0, 0, -1, 0, 0, 0, -1}), 1, 0, 0, 0);
    // r11 largest: a half turn about y.
    expectQuat(decodeMatrix({-1, 0, 0, 0, 1, 0, 0, 0, -1}), 0, 1, 0, 0);
}

TEST(Rotation, ZeroRowScalesByOneAndStaysZero) {
    const DecodedMatrix d = decodeMatrix({0, 0, 0, 0, 1, 0, 0, 0, 1});
    EXPECT_EQ(d.scale[0], 1.0f);
    // Trace 2 > 0: w = 0.25 / (0.5 / sqrt(3)).
    EXPECT_NEAR(d.rotation[3], static_cast<float>(0.25 / (0.5 / std::sqrt(3.0))), 1e-6f);
}

TEST(Rotation, PackedFloatsKeepTheTop24Bits) {
    // Bytes 00 80 3F xx unpack to 1.0 whatever the last byte.
    EXPECT_EQ(unpackFloat(0x003F8000u), 1.0f);
    EXPECT_EQ(unpackFloat(0xAB3F8000u), 1.0f);
    EXPECT_EQ(unpackFloat(std::bit_cast<uint32_t>(-2.5f) >> 8), -2.5f);
}
