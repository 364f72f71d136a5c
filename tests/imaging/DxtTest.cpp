#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "imaging/Imaging.h"

using namespace veldrin;

namespace {

struct Texel {
    uint8_t b, g, r, a;
};

std::vector<uint8_t> BlockOf(const std::array<Texel, 16>& texels) {
    std::vector<uint8_t> bytes;
    for (const Texel& t : texels) bytes.insert(bytes.end(), {t.b, t.g, t.r, t.a});
    return bytes;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& texels, int32_t width, int32_t height, TexelFormat format) {
    return encodeBlocks(texels, width, height, format);
}

uint16_t U16At(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t U32At(const std::vector<uint8_t>& b, std::size_t at) {
    return U16At(b, at) | (static_cast<uint32_t>(U16At(b, at + 2)) << 16);
}

uint32_t IndexWord(const std::array<int, 16>& indices) {
    uint32_t word = 0;
    for (int k = 0; k < 16; ++k) word |= static_cast<uint32_t>(indices[k]) << (2 * k);
    return word;
}

// A decoder written from the block layouts alone, kept apart from the core's: 5:6:5 endpoints
// widened with x * 255 / max, one third and two thirds points rounded, the three-colour form for
// DXT1 blocks whose first endpoint is not the larger.
std::vector<uint8_t> ReferenceDecode(const std::vector<uint8_t>& blocks, int32_t width, int32_t height, bool dxt3) {
    std::vector<uint8_t> out(static_cast<std::size_t>(width) * height * 4);
    const std::size_t step = dxt3 ? 16 : 8;
    std::size_t at = 0;
    for (int by = 0; by < height / 4; ++by)
        for (int bx = 0; bx < width / 4; ++bx, at += step) {
            const std::size_t colourAt = dxt3 ? at + 8 : at;
            const uint16_t c[2] = {U16At(blocks, colourAt), U16At(blocks, colourAt + 2)};
            int rgb[4][3];
            for (int e = 0; e < 2; ++e) {
                rgb[e][0] = ((c[e] >> 11) & 31) * 255 / 31;
                rgb[e][1] = ((c[e] >> 5) & 63) * 255 / 63;
                rgb[e][2] = (c[e] & 31) * 255 / 31;
            }
            const bool threeColours = !dxt3 && c[0] <= c[1];
            for (int ch = 0; ch < 3; ++ch) {
                rgb[2][ch] = threeColours ? (rgb[0][ch] + rgb[1][ch]) / 2 : (2 * rgb[0][ch] + rgb[1][ch] + 1) / 3;
                rgb[3][ch] = (rgb[0][ch] + 2 * rgb[1][ch] + 1) / 3;
            }
            const uint32_t indices = U32At(blocks, colourAt + 4);
            for (int k = 0; k < 16; ++k) {
                const int index = (indices >> (2 * k)) & 3;
                uint8_t* texel = &out[((static_cast<std::size_t>(by) * 4 + k / 4) * width + bx * 4 + k % 4) * 4];
                texel[0] = static_cast<uint8_t>(rgb[index][2]);
                texel[1] = static_cast<uint8_t>(rgb[index][1]);
                texel[2] = static_cast<uint8_t>(rgb[index][0]);
                if (dxt3)
                    texel[3] = static_cast<uint8_t>(((blocks[at + k / 2] >> (4 * (k % 2))) & 15) * 17);
                else
                    texel[3] = (threeColours && index == 3) ? 0 : 255;
            }
        }
    return out;
}

} // namespace

TEST(DxtBlocks, UniformBlockUsesItsColourTwiceAndIndexZero) {
    std::array<Texel, 16> texels;
    texels.fill({50, 100, 200, 255});
    const uint16_t packed = (200 >> 3) << 11 | (100 >> 2) << 5 | (50 >> 3);
    for (TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3}) {
        const auto blocks = Encode(BlockOf(texels), 4, 4, format);
        const std::size_t colourAt = format == TexelFormat::DXT3 ? 8 : 0;
        EXPECT_EQ(U16At(blocks, colourAt), packed);
        EXPECT_EQ(U16At(blocks, colourAt + 2), packed);
        EXPECT_EQ(U32At(blocks, colourAt + 4), 0u);
    }
}

TEST(DxtBlocks, EndpointsThatPackAlikeDecodeOpaqueEverywhere) {
    std::array<Texel, 16> texels;
    texels.fill({16, 64, 200, 255});
    texels[9] = {17, 66, 207, 255}; // farthest pair, but the same 5:6:5 value
    const auto blocks = Encode(BlockOf(texels), 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(U16At(blocks, 0), U16At(blocks, 2));
    EXPECT_EQ(U32At(blocks, 4), 0u);

    const std::vector<uint8_t> decoded = decodeBlocks(blocks, 4, 4, TexelFormat::DXT1);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(decoded[4 * k + 0], (16 >> 3) * 255 / 31) << k;
        EXPECT_EQ(decoded[4 * k + 1], (64 >> 2) * 255 / 63) << k;
        EXPECT_EQ(decoded[4 * k + 2], (200 >> 3) * 255 / 31) << k;
        EXPECT_EQ(decoded[4 * k + 3], 255) << k;
    }
}

TEST(DxtBlocks, BlackAndWhiteEndpointsPutWhiteFirstInOpaqueBlocks) {
    std::array<Texel, 16> texels;
    texels.fill({170, 170, 170, 255}); // exactly the one-third point between white and black
    texels[0] = {0, 0, 0, 255};
    texels[5] = {255, 255, 255, 255};
    texels[6] = {85, 85, 85, 255}; // the two-thirds point
    const auto blocks = Encode(BlockOf(texels), 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(U16At(blocks, 0), 0xFFFF);
    EXPECT_EQ(U16At(blocks, 2), 0x0000);
    std::array<int, 16> indices;
    indices.fill(2);
    indices[0] = 1;
    indices[5] = 0;
    indices[6] = 3;
    EXPECT_EQ(U32At(blocks, 4), IndexWord(indices));

    const std::vector<uint8_t> decoded = decodeBlocks(blocks, 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(decoded, BlockOf(texels)) << "white packs to 0xFFFF and expands back to 255";
}

TEST(DxtBlocks, EqualDistancesKeepTheFirstPairFound) {
    std::array<Texel, 16> texels;
    texels.fill({0, 0, 255, 255});  // red
    texels[1] = {0, 255, 0, 255};   // green: red-green is the first of three equally far pairs
    texels[2] = {255, 0, 0, 255};   // blue
    const auto blocks = Encode(BlockOf(texels), 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(U16At(blocks, 0), 0xF800);
    EXPECT_EQ(U16At(blocks, 2), 0x07E0);
}

TEST(DxtBlocks, AlphaBelow128MakesATransparentDxt1Block) {
    std::array<Texel, 16> texels;
    texels.fill({255, 255, 255, 255});
    texels[1] = {0, 0, 0, 127};
    auto blocks = Encode(BlockOf(texels), 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(U16At(blocks, 0), 0x0000) << "transparent blocks keep colour 0 <= colour 1";
    EXPECT_EQ(U16At(blocks, 2), 0xFFFF);
    std::array<int, 16> indices;
    indices.fill(1);
    indices[1] = 3;
    EXPECT_EQ(U32At(blocks, 4), IndexWord(indices));

    const std::vector<uint8_t> decoded = decodeBlocks(blocks, 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(decoded[4 * 1 + 3], 0);
    EXPECT_EQ(decoded[4 * 0 + 3], 255);
    EXPECT_EQ(decoded[4 * 0 + 2], 255);

    texels[1].a = 128; // counts as opaque
    blocks = Encode(BlockOf(texels), 4, 4, TexelFormat::DXT1);
    EXPECT_EQ(U16At(blocks, 0), 0xFFFF);
    EXPECT_EQ(U16At(blocks, 2), 0x0000);
    indices.fill(0);
    indices[1] = 1;
    EXPECT_EQ(U32At(blocks, 4), IndexWord(indices));
}

TEST(DxtBlocks, Dxt3StoresAlphaNibblesLowFirst) {
    std::array<Texel, 16> texels;
    texels.fill({9, 9, 9, 0});
    texels[0].a = 0xFF;
    texels[1].a = 0x80;
    texels[14].a = 0x3C;
    const auto blocks = Encode(BlockOf(texels), 4, 4, TexelFormat::DXT3);
    EXPECT_EQ(blocks[0], 0x8F);
    EXPECT_EQ(blocks[7], 0x03);
    for (int i = 1; i < 7; ++i) EXPECT_EQ(blocks[i], 0) << i;

    const std::vector<uint8_t> decoded = decodeBlocks(blocks, 4, 4, TexelFormat::DXT3);
    EXPECT_EQ(decoded[3], 255);
    EXPECT_EQ(decoded[7], 136);
    EXPECT_EQ(decoded[14 * 4 + 3], 51);
    EXPECT_EQ(decoded[15 * 4 + 3], 0);
}

TEST(DxtBlocks, SmoothImageSurvivesARoundTrip) {
    const int32_t width = 64, height = 32;
    std::vector<uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* t = &texels[(static_cast<std::size_t>(y) * width + x) * 4];
            t[0] = static_cast<uint8_t>(x * 4);
            t[1] = static_cast<uint8_t>(y * 8);
            t[2] = static_cast<uint8_t>(255 - x * 2 - y * 2);
            t[3] = static_cast<uint8_t>(x * 4 + y / 4);
        }
    for (TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3}) {
        const bool dxt3 = format == TexelFormat::DXT3;
        auto opaque = texels;
        if (!dxt3)
            for (std::size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
        const auto blocks = Encode(opaque, width, height, format);

        const std::vector<uint8_t> decoded = decodeBlocks(blocks, width, height, format);
        EXPECT_EQ(decoded, ReferenceDecode(blocks, width, height, dxt3)) << formatInfo(format).name;

        int worstColour = 0, worstAlpha = 0;
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            const int error = std::abs(decoded[i] - opaque[i]);
            (i % 4 == 3 ? worstAlpha : worstColour) = std::max(i % 4 == 3 ? worstAlpha : worstColour, error);
        }
        EXPECT_LE(worstColour, 12) << formatInfo(format).name;
        EXPECT_LE(worstAlpha, 15) << formatInfo(format).name;
    }
}

TEST(DxtBlocks, BufferSizesAreCheckedAndPartialBlocksCut) {
    const std::vector<uint8_t> texels(16 * 4, 200);
    EXPECT_TRUE(encodeBlocks(texels, 2, 2, TexelFormat::DXT1).empty()) << "sizes below 4 make no blocks";
    EXPECT_EQ(encodeBlocks(texels, 4, 4, TexelFormat::DXT1).size(), 8u);
    EXPECT_THROW(encodeBlocks(std::vector<uint8_t>(63), 4, 4, TexelFormat::DXT1), VeldrinError);
    EXPECT_THROW(encodeBlocks(texels, 4, 4, TexelFormat::A8R8G8B8), VeldrinError);

    // 6 x 3 texels need 2 x 1 blocks; only texels inside the size are made.
    const std::vector<uint8_t> twoBlocks(32, 0);
    EXPECT_EQ(decodeBlocks(twoBlocks, 6, 3, TexelFormat::DXT3).size(), 6u * 3 * 4);
    EXPECT_THROW(decodeBlocks(std::vector<uint8_t>(31), 6, 3, TexelFormat::DXT3), VeldrinError);

    // Red first, into rows wider than the image: the texels of the whole blocks (2 x 2 of them, cut to
    // 7 x 5), nothing written past a row's end.
    std::mt19937 random(3);
    for (TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3}) {
        std::vector<uint8_t> blocks((format == TexelFormat::DXT3 ? 16 : 8) * 2 * 2);
        for (uint8_t& b : blocks) b = static_cast<uint8_t>(random());
        const std::size_t rowBytes = 7 * 4 + 8;
        std::vector<uint8_t> rows(rowBytes * 5, 0xAB);
        decodeBlocksRedFirst(blocks, 7, 5, format, rows.data(), rowBytes);
        const std::vector<uint8_t> expected = ReferenceDecode(blocks, 8, 8, format == TexelFormat::DXT3);
        for (std::size_t y = 0; y < 5; ++y)
            for (std::size_t x = 0; x < 9; ++x) {
                const uint8_t* got = &rows[y * rowBytes + x * 4];
                if (x >= 7) {
                    EXPECT_EQ(got[0] & got[1] & got[2] & got[3], 0xAB) << "past the row at " << x << ", " << y;
                    continue;
                }
                const uint8_t* bgra = &expected[(y * 8 + x) * 4];
                EXPECT_EQ((std::array<uint8_t, 4>{got[0], got[1], got[2], got[3]}), (std::array<uint8_t, 4>{bgra[2], bgra[1], bgra[0], bgra[3]}))
                    << formatInfo(format).name << " at " << x << ", " << y;
            }
    }
}

TEST(DxtBlocks, HighQualityLowersTheErrorAndKeepsTransparencyAndAlpha) {
    const int32_t width = 32, height = 32;
    std::mt19937 random(9);
    // Each image keeps the exact encoder's rules for alpha; only the colours may be fitted better.
    const std::vector<std::pair<const char*, std::function<void(int32_t, int32_t, uint8_t*)>>> images{
        {"ramp", [](int32_t x, int32_t y, uint8_t* t) { t[0] = static_cast<uint8_t>(x * 5); t[1] = static_cast<uint8_t>(y * 3 + x); t[2] = static_cast<uint8_t>(200 - y * 2); t[3] = 255; }},
        {"noise with holes", [&](int32_t x, int32_t y, uint8_t* t) {
             for (int c = 0; c < 3; ++c) t[c] = static_cast<uint8_t>(random());
             t[3] = (x * 7 + y * 3) % 5 == 0 ? 40 : 255;
         }},
        {"two colours", [&](int32_t, int32_t, uint8_t* t) { const bool a = random() % 2; t[0] = a ? 30 : 220; t[1] = a ? 140 : 20; t[2] = a ? 90 : 250; t[3] = a ? 255 : 0; }},
        {"fully transparent", [](int32_t, int32_t, uint8_t* t) { t[0] = 9; t[1] = 99; t[2] = 199; t[3] = 0; }},
    };
    const auto colourError = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int64_t sum = 0;
        for (std::size_t i = 0; i < a.size(); i += 4)
            if (a[i + 3] >= 128)
                for (int c = 0; c < 3; ++c) sum += (a[i + c] - b[i + c]) * (a[i + c] - b[i + c]);
        return sum;
    };
    for (const auto& [name, make] : images) {
        std::vector<uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) make(x, y, &texels[(static_cast<std::size_t>(y) * width + x) * 4]);
        for (const TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3}) {
            const bool dxt3 = format == TexelFormat::DXT3;
            const auto exact = encodeBlocks(texels, width, height, format);
            const auto high = encodeBlocks(texels, width, height, format, DxtQuality::High);
            ASSERT_EQ(high.size(), exact.size());
            const auto exactTexels = ReferenceDecode(exact, width, height, dxt3);
            const auto highTexels = ReferenceDecode(high, width, height, dxt3);
            EXPECT_LE(colourError(texels, highTexels), colourError(texels, exactTexels)) << name << " " << dxt3;
            for (std::size_t i = 3; i < texels.size(); i += 4)
                ASSERT_EQ(highTexels[i], exactTexels[i]) << name << " " << dxt3 << ": alpha of texel " << i / 4;
        }
    }
}

namespace {

// A plain cluster fit of 16 opaque colours (red, green, blue): ordered along their principal axis, the
// split into four runs whose least-squares endpoints fit best, rounded to 5:6:5; its squared error.
int64_t ClusterFitError(std::array<std::array<double, 3>, 16> c) {
    using V = std::array<double, 3>;
    const auto dot = [](const V& x, const V& y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
    V mean{}, axis{1, 1, 1}, first{}, second{};
    for (const V& x : c) mean = {mean[0] + x[0] / 16, mean[1] + x[1] / 16, mean[2] + x[2] / 16};
    for (int round = 0; round < 16; ++round) {
        V next{};
        for (const V& x : c)
            for (int ch = 0; ch < 3; ++ch) next[ch] += dot({x[0] - mean[0], x[1] - mean[1], x[2] - mean[2]}, axis) * (x[ch] - mean[ch]);
        axis = {next[0] / std::sqrt(dot(next, next)), next[1] / std::sqrt(dot(next, next)), next[2] / std::sqrt(dot(next, next))};
    }
    std::sort(c.begin(), c.end(), [&](const V& x, const V& y) { return dot(x, axis) < dot(y, axis); });
    double best = 1e300;
    for (int i = 0; i <= 16; ++i)
        for (int j = i; j <= 16; ++j)
            for (int k = j; k <= 16; ++k) {
                const auto alpha = [&](int t) { return t < i ? 1.0 : t < j ? 2.0 / 3 : t < k ? 1.0 / 3 : 0.0; };
                double aa = 0, ab = 0, bb = 0, error = 0;
                V ax{}, bx{}, a, b;
                for (int t = 0; t < 16; ++t) {
                    aa += alpha(t) * alpha(t), ab += alpha(t) * (1 - alpha(t)), bb += (1 - alpha(t)) * (1 - alpha(t));
                    for (int ch = 0; ch < 3; ++ch) ax[ch] += alpha(t) * c[t][ch], bx[ch] += (1 - alpha(t)) * c[t][ch];
                }
                if (aa * bb - ab * ab < 1e-9) continue;
                for (int ch = 0; ch < 3; ++ch) {
                    a[ch] = (ax[ch] * bb - bx[ch] * ab) / (aa * bb - ab * ab), b[ch] = (bx[ch] * aa - ax[ch] * ab) / (aa * bb - ab * ab);
                    for (int t = 0; t < 16; ++t) error += std::pow(alpha(t) * a[ch] + (1 - alpha(t)) * b[ch] - c[t][ch], 2);
                }
                if (error < best) best = error, first = a, second = b;
            }
    const auto pack = [](const V& x) {
        const auto level = [](double v, long top) { return std::clamp(std::lround(v * top / 255), 0L, top); };
        return static_cast<uint16_t>(level(x[0], 31) << 11 | level(x[1], 63) << 5 | level(x[2], 31));
    };
    const uint16_t c0 = std::max(pack(first), pack(second)), c1 = std::min(pack(first), pack(second));
    // The palette, read back from a block whose first four texels take indices 0 to 3.
    const auto palette = ReferenceDecode({uint8_t(c0), uint8_t(c0 >> 8), uint8_t(c1), uint8_t(c1 >> 8), 0xE4, 0, 0, 0}, 4, 4, false);
    int64_t total = 0;
    for (const V& x : c) {
        double nearest = 1e300;
        for (int p = 0; p < (c0 > c1 ? 4 : 3); ++p)
            nearest = std::min(nearest, dot({palette[4 * p + 2] - x[0], palette[4 * p + 1] - x[1], palette[4 * p] - x[2]},
                                            {palette[4 * p + 2] - x[0], palette[4 * p + 1] - x[1], palette[4 * p] - x[2]}));
        total += static_cast<int64_t>(nearest);
    }
    return total;
}

} // namespace

TEST(DxtBlocks, HighQualityFitsRandomOpaqueBlocksAtLeastAsWellAsAClusterFit) {
    const int32_t width = 4 * 16, height = 4 * 4;
    std::mt19937 random(21);
    std::vector<uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(random());
    int64_t reference = 0;
    for (int32_t by = 0; by < height / 4; ++by)
        for (int32_t bx = 0; bx < width / 4; ++bx) {
            std::array<std::array<double, 3>, 16> colours;
            for (int k = 0; k < 16; ++k)
                for (int ch = 0; ch < 3; ++ch)
                    colours[k][ch] = texels[((static_cast<std::size_t>(by) * 4 + k / 4) * width + bx * 4 + k % 4) * 4 + 2 - ch];
            reference += ClusterFitError(colours);
        }
    for (const TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3}) {
        const auto decoded = ReferenceDecode(encodeBlocks(texels, width, height, format, DxtQuality::High), width, height,
                                             format == TexelFormat::DXT3);
        int64_t high = 0;
        for (std::size_t i = 0; i < texels.size(); ++i)
            if (i % 4 != 3) high += (texels[i] - decoded[i]) * (texels[i] - decoded[i]);
        EXPECT_LE(high, reference) << formatInfo(format).name;
    }
}
