#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imaging/Imaging.h"

using namespace veldrin;

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// A bitmap file as a writer of the format lays it out: the stored rows are given unpadded and
// padded here to multiples of 4 bytes.
std::vector<uint8_t> MakeBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel, const std::vector<uint8_t>& palette,
                                const std::vector<std::vector<uint8_t>>& storedRows, uint32_t coloursUsed = 0) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(storedRows.size());
    const uint32_t pixelOffset = 54 + static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out{'B', 'M'};
    PutU32(out, pixelOffset + pixelBytes);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, bitsPerPixel);
    PutU32(out, 0);
    PutU32(out, pixelBytes);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, coloursUsed);
    PutU32(out, 0);
    out.insert(out.end(), palette.begin(), palette.end());
    for (const auto& row : storedRows) {
        out.insert(out.end(), row.begin(), row.end());
        out.resize(out.size() + (rowBytes - row.size()), 0);
    }
    return out;
}

} // namespace

TEST(BitmapReader, EightBitPaletteBytesBecomeBlueGreenRedAlpha) {
    std::vector<uint8_t> palette(256 * 4, 0);
    palette[4] = 10;
    palette[5] = 20;
    palette[6] = 30;
    palette[7] = 40;
    const auto bitmap = MakeBitmap(2, 1, 8, palette, {{1, 0}});
    ImageData image;
    ASSERT_TRUE(ReadImage(bitmap, image));
    EXPECT_EQ(image.Format, TexelFormat::Index8);
    EXPECT_EQ(image.Width, 2);
    EXPECT_EQ(image.Height, 1);
    ASSERT_EQ(image.Palette.size(), 1024u);
    EXPECT_EQ(image.Palette[4], 10); // blue
    EXPECT_EQ(image.Palette[5], 20); // green
    EXPECT_EQ(image.Palette[6], 30); // red
    EXPECT_EQ(image.Palette[7], 40); // alpha: the fourth byte is kept
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{1, 0}));

    // Turned into texels, entry 1 gives exactly those four bytes.
    ASSERT_TRUE(ChangeFormat(image, TexelFormat::A8R8G8B8));
    EXPECT_EQ(std::vector<uint8_t>(image.Bits.begin(), image.Bits.begin() + 4), (std::vector<uint8_t>{10, 20, 30, 40}));
    EXPECT_TRUE(image.Palette.empty());
}

TEST(BitmapReader, HeightSignDecidesTheRowOrder) {
    const std::vector<uint8_t> palette(256 * 4, 0);
    const std::vector<uint8_t> rowA{1, 2, 3}, rowB{4, 5, 6};
    ImageData image;
    // Positive height: stored rows are bottom first, so the top row is the last one stored.
    ASSERT_TRUE(ReadImage(MakeBitmap(3, 2, 8, palette, {rowA, rowB}), image));
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
    // Negative height: stored top first. Rows of 3 bytes are padded to 4 in the file.
    ASSERT_TRUE(ReadImage(MakeBitmap(3, -2, 8, palette, {rowA, rowB}), image));
    EXPECT_EQ(image.Height, 2);
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(BitmapReader, FourBitTexelsExpandHighNibbleFirstAndPaletteStopsAtSixteen) {
    std::vector<uint8_t> palette(16 * 4);
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i + 1);
    // 5 texels per row: 3 bytes stored, the last low nibble unused; padded to 4 bytes.
    const auto bitmap = MakeBitmap(5, -2, 4, palette, {{0x01, 0x23, 0x4F}, {0xAB, 0xCD, 0xEF}});
    ImageData image;
    ASSERT_TRUE(ReadImage(bitmap, image));
    EXPECT_EQ(image.Format, TexelFormat::Index8);
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{0, 1, 2, 3, 4, 10, 11, 12, 13, 14}));
    ASSERT_EQ(image.Palette.size(), 1024u);
    EXPECT_EQ(image.Palette[63], 64);
    for (std::size_t i = 64; i < image.Palette.size(); ++i) ASSERT_EQ(image.Palette[i], 0) << "byte " << i;
}

TEST(BitmapReader, ColoursUsedLimitsThePaletteRead) {
    std::vector<uint8_t> palette(2 * 4, 0xAA);
    const auto bitmap = MakeBitmap(4, 1, 8, palette, {{0, 1, 1, 0}}, 2);
    ImageData image;
    ASSERT_TRUE(ReadImage(bitmap, image));
    EXPECT_EQ(image.Palette[7], 0xAA);
    EXPECT_EQ(image.Palette[8], 0);
}

TEST(BitmapReader, NonBitmapsAreNotReadAndTruncatedOnesAreErrors) {
    ImageData image;
    CreateImage(1, 1, TexelFormat::A8R8G8B8, image);
    const std::vector<uint8_t> notBitmap(64, 'X');
    EXPECT_FALSE(ReadImage(notBitmap, image));
    EXPECT_FALSE(ReadImage(std::vector<uint8_t>{'B', 'M', 0}, image));
    EXPECT_EQ(image.Format, TexelFormat::A8R8G8B8) << "a refused read leaves the image alone";

    const std::vector<uint8_t> palette(256 * 4, 0);
    const auto bitmap = MakeBitmap(16, 16, 8, palette, std::vector<std::vector<uint8_t>>(16, std::vector<uint8_t>(16, 3)));
    // Every cut through headers, palette and rows is refused without reading past the end.
    for (std::size_t cut = 14; cut < bitmap.size(); cut += 7) {
        const std::vector<uint8_t> truncated(bitmap.begin(), bitmap.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_THROW(ReadImage(truncated, image), EImagingError) << "cut at " << cut;
    }
    EXPECT_EQ(image.Format, TexelFormat::A8R8G8B8);

    auto hugeRows = bitmap;
    hugeRows[22] = 0xFF; // height 0x7FFFFFFF: far more rows than the file holds
    hugeRows[23] = 0xFF;
    hugeRows[24] = 0xFF;
    hugeRows[25] = 0x7F;
    EXPECT_THROW(ReadImage(hugeRows, image), EImagingError);

    auto farPixels = bitmap;
    farPixels[13] = 0xFF; // pixel data offset near 4 GiB
    EXPECT_THROW(ReadImage(farPixels, image), EImagingError);

    auto manyColours = bitmap;
    manyColours[47] = 0x10; // 4096 colours used
    EXPECT_THROW(ReadImage(manyColours, image), EImagingError);

    auto deepPixels = bitmap;
    deepPixels[28] = 24;
    EXPECT_THROW(ReadImage(deepPixels, image), EImagingError);

    ASSERT_TRUE(ReadImage(bitmap, image));
    EXPECT_EQ(image.Width, 16);
}
