#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "texture/SwizzlingPS2.h"
#include "texture/SwizzlingPSP.h"

using namespace veldrin;

namespace {

// A 16 x 8 8-bit image in PS2 swizzled order whose texels hold the plain position they belong at.
const std::vector<uint8_t> kSwizzled16x8 = {
    0,  36,  8,  44,  1,  37,  9,  45,  2,  38,  10, 46,  3,  39,  11, 47,  //
    4,  32,  12, 40,  5,  33,  13, 41,  6,  34,  14, 42,  7,  35,  15, 43,  //
    16, 52,  24, 60,  17, 53,  25, 61,  18, 54,  26, 62,  19, 55,  27, 63,  //
    20, 48,  28, 56,  21, 49,  29, 57,  22, 50,  30, 58,  23, 51,  31, 59,  //
    68, 96,  76, 104, 69, 97,  77, 105, 70, 98,  78, 106, 71, 99,  79, 107, //
    64, 100, 72, 108, 65, 101, 73, 109, 66, 102, 74, 110, 67, 103, 75, 111, //
    84, 112, 92, 120, 85, 113, 93, 121, 86, 114, 94, 122, 87, 115, 95, 123, //
    80, 116, 88, 124, 81, 117, 89, 125, 82, 118, 90, 126, 83, 119, 91, 127,
};

std::vector<uint8_t> identity(std::size_t n) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

} // namespace

TEST(SwizzlingPS2, NibbleRoutinesUseOppositeOrders) {
    std::vector<uint8_t> expanded(2);
    ExpandNibbles(std::vector<uint8_t>{0x21}, expanded, 2, 1);
    EXPECT_EQ(expanded, (std::vector<uint8_t>{1, 2}));
    std::vector<uint8_t> packed(1);
    PackNibbles(std::vector<uint8_t>{1, 2}, packed, 2, 1);
    EXPECT_EQ(packed, (std::vector<uint8_t>{0x12}));
}

TEST(SwizzlingPS2, EightBitGroupsComeOutInRowOrder) {
    std::vector<uint8_t> out(128);
    UnswizzlePS2(kSwizzled16x8, out, 8, 16, 8);
    EXPECT_EQ(out, identity(128));
}

TEST(SwizzlingPSP, OneFourBitBlockIsReversedVerticallyAndNibbleSwapped) {
    // 32 x 8 at 4 bits: one block of 16 bytes x 8 rows.
    std::vector<uint8_t> source(128);
    for (std::size_t r = 0; r < 8; ++r)
        for (std::size_t b = 0; b < 16; ++b) source[16 * r + b] = static_cast<uint8_t>(r << 4 | (b & 15));
    std::vector<uint8_t> out(128);
    UnswizzlePSP(source, out, 4, 32, 8);
    for (std::size_t r = 0; r < 8; ++r) {
        for (std::size_t b = 0; b < 16; ++b) {
            const uint8_t s = source[16 * (7 - r) + b];
            ASSERT_EQ(out[16 * r + b], static_cast<uint8_t>(s >> 4 | s << 4)) << "row " << r << " byte " << b;
        }
    }
}

TEST(SwizzlingPSP, BlocksAreGatheredIntoRowsBottomFirst) {
    // 32 x 16 at 8 bits: two blocks across, two block rows. Source byte = block number * 64 + row * 8 + column / 2.
    const int width = 32, height = 16;
    std::vector<uint8_t> source(width * height);
    for (int block = 0; block < 4; ++block)
        for (int r = 0; r < 8; ++r)
            for (int b = 0; b < 16; ++b) source[block * 128 + r * 16 + b] = static_cast<uint8_t>(block * 64 + r * 8 + b / 2);
    std::vector<uint8_t> out(source.size());
    UnswizzlePSP(source, out, 8, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int block = (y / 8) * 2 + x / 16; // plain image row y, top first
            const uint8_t expected = static_cast<uint8_t>(block * 64 + (y % 8) * 8 + (x % 16) / 2);
            ASSERT_EQ(out[(height - 1 - y) * width + x], expected) << x << "," << y; // no nibble swap at 8 bits
        }
    }
}
