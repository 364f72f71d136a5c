#include <gtest/gtest.h>

#include <vector>

#include "base/Error.h"
#include "internal/Palette.h"
#include "texture/MipMapRule.h"
#include "texture/TextureParameters.h"

using namespace veldrin;

TEST(TextureParameters, Ps2HeaderAndMipLevelsBeforeThePalette) {
    const TextureParameters p = GetTextureParametersPS2(0x87, 0x81, 0x40, 0x01);
    EXPECT_EQ(p.width(), 128);
    EXPECT_EQ(p.height(), 64);
    EXPECT_EQ(p.Depth, 8);
    EXPECT_EQ(p.MipCount, 4);
    EXPECT_NE(p.Swizzled, 0);
    EXPECT_EQ(p.PaletteOffset, 128 * 64 + 64 * 32 + 32 * 16 + 16 * 8);
    EXPECT_EQ(p.PaletteSize, 1024);

    const TextureParameters four = GetTextureParametersPS2(0x05, 0x41, 0x10, 0x00); // 32 x 16, 4 bits, 1 level
    EXPECT_EQ(four.width(), 32);
    EXPECT_EQ(four.height(), 16);
    EXPECT_EQ(four.PaletteOffset, 32 * 16 / 2);
    EXPECT_EQ(four.PaletteSize, 64);
    EXPECT_EQ(four.Swizzled, 0);

    // Bits 6-11 of the header word can describe sides far beyond what a dictionary holds.
    EXPECT_FALSE(GetTextureParametersPS2(0xC0, 0x8F, 0x10, 0x00).fitsDictionary());
}

TEST(TextureParameters, PspHeaderKeepsRowsAtLeastSixteenBytes) {
    const TextureParameters p = GetTextureParametersPSP(0x5C, 0x75, 0, 0);
    EXPECT_EQ(p.Depth, 4);
    EXPECT_EQ(p.MipCount, 5);
    EXPECT_EQ(p.width(), 32);
    EXPECT_EQ(p.height(), 128);
    EXPECT_EQ(p.PaletteSize, 64);
    // Six stored levels, all 32 texels (16 bytes) wide: 2048 + 1024 + 512 + 256 + 128 + 64.
    EXPECT_EQ(p.PaletteOffset, 4032);

    // 8 x 4 at 4 bits, one extra level: rows are stored 32 texels wide (16 * 4 + 16 * 2 bytes).
    EXPECT_EQ(GetTextureParametersPSP(0x1C, 0x23, 0, 0).PaletteOffset, 96);
    // 8-bit: 256-entry palette, rows at least 16 texels; 64 x 32 then 32 x 16.
    const TextureParameters eight = GetTextureParametersPSP(0x18, 0x56, 0, 0);
    EXPECT_EQ(eight.Depth, 8);
    EXPECT_EQ(eight.PaletteSize, 1024);
    EXPECT_EQ(eight.PaletteOffset, 64 * 32 + 32 * 16);
}

TEST(Palette, Ps2AlphaIsDoubledAndAnythingFrom128IsOpaque) {
    const std::vector<uint8_t> source = {1, 2, 3, 127, 4, 5, 6, 128, 7, 8, 9, 200, 10, 11, 12, 64};
    std::vector<uint8_t> out(16);
    EXPECT_FALSE(convertPaletteAlpha(source, out, GameVersion::LcsPs2, 12));
    EXPECT_EQ(out[3], 254);
    EXPECT_EQ(out[7], 255);
    EXPECT_EQ(out[11], 255);
    EXPECT_EQ(out[0], 1); // colour bytes untouched
    EXPECT_EQ(out[10], 9);
    EXPECT_TRUE(convertPaletteAlpha(source, out, GameVersion::VcsPs2, 16));
    EXPECT_EQ(out[15], 128);

    const std::vector<uint8_t> edge = {0, 0, 0, 126};
    std::vector<uint8_t> one(4);
    EXPECT_TRUE(convertPaletteAlpha(edge, one, GameVersion::LcsPs2, 4));
    EXPECT_EQ(one[3], 252);
}

TEST(Palette, PspAlphaIsKeptAndBelow254IsTransparent) {
    std::vector<uint8_t> out(8);
    EXPECT_FALSE(convertPaletteAlpha(std::vector<uint8_t>{1, 2, 3, 254, 4, 5, 6, 255}, out, GameVersion::LcsPsp, 8));
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3, 254, 4, 5, 6, 255}));
    EXPECT_TRUE(convertPaletteAlpha(std::vector<uint8_t>{1, 2, 3, 253}, out, GameVersion::VcsPsp, 4));
}

TEST(Palette, ClutBlocksOfEightEntriesExchangeInsideEachGroupOf32) {
    // Groups read A, B, C, D (8 entries each); they must come out A, C, B, D.
    std::vector<uint8_t> palette(1024);
    for (std::size_t e = 0; e < 256; ++e) palette[4 * e] = static_cast<uint8_t>(e);
    UnswizzleClut(palette);
    for (std::size_t e = 0; e < 256; ++e) {
        std::size_t from = e;
        if (e % 32 >= 8 && e % 32 < 16) from = e + 8;
        if (e % 32 >= 16 && e % 32 < 24) from = e - 8;
        ASSERT_EQ(palette[4 * e], from) << "entry " << e;
    }
}

TEST(MipMapRule, ThresholdsLookAtTheWidthOnly) {
    const MipMapThreshold over16 = MipMapThreshold::Over16, over32 = MipMapThreshold::Over32, all = MipMapThreshold::All;
    EXPECT_FALSE(wantsMipMaps(true, TargetGame::GtaVc, over16, 16)); // 16 x 256
    EXPECT_TRUE(wantsMipMaps(true, TargetGame::GtaSa, over16, 32));  // 32 x 4
    EXPECT_FALSE(wantsMipMaps(true, TargetGame::GtaVc, over32, 32));
    EXPECT_TRUE(wantsMipMaps(true, TargetGame::GtaVc, over32, 64));
    EXPECT_TRUE(wantsMipMaps(true, TargetGame::GtaVc, all, 4));
    EXPECT_FALSE(wantsMipMaps(true, TargetGame::Gta3, all, 256));
    EXPECT_FALSE(wantsMipMaps(false, TargetGame::GtaSa, all, 256));
    EXPECT_TRUE(wantsMipMaps(true, TargetGame::GtaSa, MipMapThreshold::Over128, 256));
    EXPECT_FALSE(wantsMipMaps(true, TargetGame::GtaSa, MipMapThreshold::Over128, 128));
    // The words of the command line and the manifest, each read back to its choice.
    for (MipMapThreshold t : kMipMapThresholds) EXPECT_EQ(parseMipMapThreshold(mipMapThresholdName(t)), t);
    EXPECT_EQ(parseMipMapThreshold("ALL"), all);
    EXPECT_EQ(parseMipMapThreshold("17"), std::nullopt);
}
