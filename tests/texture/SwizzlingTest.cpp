#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "internal/SwizzlingPS2.h"
#include "internal/SwizzlingPSP.h"

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

std::vector<uint8_t> identity(std::size_t n, int modulo = 256) {
    std::vector<uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i % static_cast<std::size_t>(modulo));
    return v;
}

// Indices packed the consoles' way: at 4 bits the first texel of a pair in the low nibble.
std::vector<uint8_t> consolePacked(const std::vector<uint8_t>& indices, int depth) {
    if (depth == 8) return indices;
    std::vector<uint8_t> packed((indices.size() + 1) / 2, 0);
    for (std::size_t i = 0; i < indices.size(); ++i) packed[i / 2] |= static_cast<uint8_t>((indices[i] & 15) << (4 * (i % 2)));
    return packed;
}

} // namespace

TEST(SwizzlingPS2, GroupsComeOutOneIndexPerByteInRowOrder) {
    for (int depth : {8, 4}) {
        std::vector<uint8_t> swizzled = kSwizzled16x8;
        if (depth == 4) for (uint8_t& v : swizzled) v %= 16;
        std::vector<uint8_t> out(128);
        unswizzlePs2(consolePacked(swizzled, depth), depth, 16, 8, out);
        EXPECT_EQ(out, identity(128, depth == 4 ? 16 : 256)) << depth << " bits";
    }
}

TEST(SwizzlingPS2, TexturesTooSmallForGroupsAreOnlyExpanded) {
    struct Case { int width, height, depth; };
    for (const Case c : {Case{4, 4, 4}, Case{8, 2, 4}, Case{1, 1, 4}, Case{4, 8, 8}, Case{16, 2, 8}}) {
        const auto n = static_cast<std::size_t>(c.width * c.height);
        const std::vector<uint8_t> expected = identity(n, c.depth == 4 ? 16 : 256);
        std::vector<uint8_t> out(n);
        unswizzlePs2(consolePacked(expected, c.depth), c.depth, c.width, c.height, out);
        EXPECT_EQ(out, expected) << c.width << "x" << c.height << " at " << c.depth << " bits";
    }
}

// The three PSP layouts, from a source whose every byte names its place: the texel of plain row y
// and byte column b must come from the stored byte the layout puts there.
TEST(SwizzlingPSP, EveryLayoutComesOutTopRowFirstInConsoleNibbleOrder) {
    struct Case { int width, height, depth; const char* layout; };
    const Case cases[] = {
        {8, 4, 4, "rows under 16 bytes, one per 16"},   {2, 8, 8, "rows under 16 bytes, one per 16"},
        {64, 4, 4, "plain rows under 8 rows"},          {32, 2, 8, "plain rows under 8 rows"},
        {32, 16, 4, "blocks"},                          {32, 16, 8, "blocks"},
        {64, 8, 8, "blocks"},
    };
    for (const Case& c : cases) {
        const int rowBytes = (c.width * c.depth + 7) / 8;
        const auto storedAt = [&](int y, int b) {
            if (rowBytes < 16) return 16 * y + b;
            if (c.height < 8) return rowBytes * y + b;
            return ((y / 8) * (rowBytes / 16) + b / 16) * 128 + (y % 8) * 16 + b % 16;
        };
        const int64_t size = pspTexelBytes(c.depth, c.width, c.height);
        ASSERT_EQ(size, int64_t{std::max(rowBytes, 16)} * c.height) << c.layout;
        std::vector<uint8_t> source(static_cast<std::size_t>(size));
        for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + i / 256);
        std::vector<uint8_t> out(static_cast<std::size_t>(c.width * c.height));
        unswizzlePsp(source, c.depth, c.width, c.height, out);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const uint8_t byte = source[static_cast<std::size_t>(storedAt(y, x * c.depth / 8))];
                const uint8_t expected = c.depth == 8 ? byte : static_cast<uint8_t>(x % 2 == 0 ? byte & 15 : byte >> 4);
                ASSERT_EQ(out[static_cast<std::size_t>(y * c.width + x)], expected)
                    << c.width << "x" << c.height << " at " << c.depth << " bits (" << c.layout << "), texel " << x << "," << y;
            }
        }
    }
}
