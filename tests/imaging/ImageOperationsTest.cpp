#include <gtest/gtest.h>

#include <vector>

#include "imaging/Imaging.h"

using namespace veldrin;

namespace {

ImageData Gradient(int32_t width, int32_t height) {
    ImageData image = createImage(width, height, TexelFormat::A8R8G8B8);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* t = &image.texels[(static_cast<std::size_t>(y) * width + x) * 4];
            t[0] = static_cast<uint8_t>(x * 16);
            t[1] = static_cast<uint8_t>(y * 16);
            t[2] = static_cast<uint8_t>(x * y);
            t[3] = static_cast<uint8_t>(255 - x * 8);
        }
    return image;
}

} // namespace

TEST(ImageOperations, ExchangeChannelsActsOnThePaletteOfIndexedImages) {
    ImageData indexed = createImage(2, 2, TexelFormat::Index8);
    indexed.texels = {0, 1, 2, 3};
    for (std::size_t i = 0; i < indexed.palette.size(); ++i) indexed.palette[i] = static_cast<uint8_t>(i);
    indexed = exchangeChannels(indexed, 2, 0);
    EXPECT_EQ(indexed.texels, (std::vector<uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(indexed.palette[0], 2);
    EXPECT_EQ(indexed.palette[2], 0);
    EXPECT_EQ(indexed.palette[1023], 255);
    EXPECT_EQ(indexed.palette[1022], 252);
    EXPECT_EQ(indexed.palette[1020], 254);

    ImageData argb = createImage(1, 2, TexelFormat::A8R8G8B8);
    argb.texels = {1, 2, 3, 4, 5, 6, 7, 8};
    argb = exchangeChannels(argb, 0, 2);
    EXPECT_EQ(argb.texels, (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8}));
    EXPECT_THROW(exchangeChannels(argb, 0, 4), VeldrinError);

    ImageData blocks = createImage(4, 4, TexelFormat::DXT1);
    EXPECT_THROW(exchangeChannels(blocks, 0, 2), VeldrinError);
}

TEST(ImageOperations, ChangeFormatPadsToWholeBlocksByStretching) {
    ImageData indexed = createImage(2, 2, TexelFormat::Index8);
    indexed.texels = {0, 1, 2, 3};
    const std::vector<std::array<uint8_t, 4>> colours{{0, 0, 0, 255}, {255, 255, 255, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}};
    for (std::size_t i = 0; i < colours.size(); ++i)
        std::copy(colours[i].begin(), colours[i].end(), indexed.palette.begin() + static_cast<std::ptrdiff_t>(i * 4));

    ImageData blocks = convertFormat(indexed, TexelFormat::DXT3);
    EXPECT_EQ(blocks.width, 4);
    EXPECT_EQ(blocks.height, 4);
    EXPECT_EQ(blocks.texelBytes, 16);
    EXPECT_TRUE(blocks.palette.empty());

    blocks = convertFormat(blocks, TexelFormat::Unknown); // the default format is A8R8G8B8
    ASSERT_EQ(blocks.format, TexelFormat::A8R8G8B8);
    // Each source texel became a 2 x 2 square; the encoder keeps black and white exact.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::size_t sourceIndex = static_cast<std::size_t>(y / 2 * 2 + x / 2);
            const uint8_t* t = &blocks.texels[(static_cast<std::size_t>(y) * 4 + x) * 4];
            if (sourceIndex < 2) {
                const std::vector<uint8_t> expected(colours[sourceIndex].begin(), colours[sourceIndex].end());
                EXPECT_EQ(std::vector<uint8_t>(t, t + 4), expected) << x << "," << y;
            }
        }

    ImageData argb = Gradient(8, 8);
    const ImageData dxt1 = convertFormat(argb, TexelFormat::DXT1);
    const ImageData viaDxt1 = convertFormat(dxt1, TexelFormat::DXT3);
    EXPECT_EQ(viaDxt1.format, TexelFormat::DXT3);
    EXPECT_EQ(viaDxt1.texelBytes, 64);
    EXPECT_THROW(convertFormat(dxt1, TexelFormat::Index8), VeldrinError);
}

TEST(ImageOperations, ScalingABlockImageKeepsItsFormat) {
    ImageData blocks = convertFormat(Gradient(8, 8), TexelFormat::DXT1);
    blocks = scaleImage(blocks, 16, 6, SamplingFilter::Triangle);
    EXPECT_EQ(blocks.format, TexelFormat::DXT1);
    EXPECT_EQ(blocks.width, 16);
    EXPECT_EQ(blocks.height, 8);
    EXPECT_TRUE(isImageValid(blocks));
}

TEST(MipChain, LevelCountsAndSizes) {
    MipChain chain = buildMipChain(Gradient(64, 16), 0);
    const std::vector<std::pair<int32_t, int32_t>> sizes{{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    ASSERT_EQ(chain.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(chain[i].width, sizes[i].first) << i;
        EXPECT_EQ(chain[i].height, sizes[i].second) << i;
        EXPECT_TRUE(isImageValid(chain[i])) << i;
    }
    EXPECT_EQ(chain[0].texels, Gradient(64, 16).texels) << "level 0 is a copy";

    chain = buildMipChain(Gradient(64, 16), 3);
    EXPECT_EQ(chain.size(), 3u);
    chain = buildMipChain(Gradient(64, 16), 99);
    EXPECT_EQ(chain.size(), 7u);
}

TEST(MipChain, BlockImagesGiveBlockLevelsPaddedToFour) {
    const ImageData image = convertFormat(Gradient(64, 64), TexelFormat::DXT3);
    MipChain chain = buildMipChain(image, 0);
    const std::vector<int32_t> sides{64, 32, 16, 8, 4, 4, 4};
    const std::vector<int64_t> bytes{4096, 1024, 256, 64, 16, 16, 16};
    ASSERT_EQ(chain.size(), sides.size());
    for (std::size_t i = 0; i < sides.size(); ++i) {
        EXPECT_EQ(chain[i].format, TexelFormat::DXT3) << i;
        EXPECT_EQ(chain[i].width, sides[i]) << i;
        EXPECT_EQ(chain[i].height, sides[i]) << i;
        EXPECT_EQ(chain[i].texelBytes, bytes[i]) << i;
    }
    EXPECT_EQ(chain[0].texels, image.texels);
}

TEST(MipChain, LevelsComeFromTheFullSizeImage) {
    // Level 2 of a 4-wide row is made with the quarter taps from level 0, not by halving level 1.
    ImageData row = createImage(8, 1, TexelFormat::A8R8G8B8);
    const std::vector<uint8_t> values{0, 0, 0, 0, 255, 255, 255, 255};
    for (std::size_t x = 0; x < values.size(); ++x) row.texels[x * 4] = values[x];
    MipChain chain = buildMipChain(row, 0);
    ASSERT_EQ(chain.size(), 4u);
    // Quarter taps 8, 24, 40, 56, 56, 40, 24, 8 at positions 4i - 2 .. 4i + 5, clamped to 0 .. 7.
    // Halving level 1 (0, 31, 223, 255) instead would give 39 for the first texel.
    EXPECT_EQ(chain[2].texels[0], (255 * (24 + 8)) * 256 >> 16);
    EXPECT_EQ(chain[2].texels[4], (255 * (40 + 56 + 56 + 40 + 24 + 8)) * 256 >> 16);

    ImageData indexed = createImage(4, 4, TexelFormat::Index8);
    for (std::size_t i = 0; i < 16; ++i) indexed.texels[i] = static_cast<uint8_t>(i);
    indexed.palette[5] = 42;
    chain = buildMipChain(indexed, 0, SamplingFilter::Triangle);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[1].format, TexelFormat::Index8);
    EXPECT_EQ(chain[1].texels, (std::vector<uint8_t>{0, 2, 8, 10})) << "indexed levels are nearest samples";
    EXPECT_EQ(chain[2].palette[5], 42);
}
