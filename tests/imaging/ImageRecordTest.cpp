#include <gtest/gtest.h>

#include <string>

#include "imaging/Imaging.h"

using namespace veldrin;

TEST(ImageRecord, CreateImageRoundsBlockFormatsUpToWholeBlocks) {
    ImageData image;
    CreateImage(6, 3, TexelFormat::DXT1, image);
    EXPECT_EQ(image.Width, 8);
    EXPECT_EQ(image.Height, 4);
    EXPECT_EQ(image.Size, 16);
    EXPECT_EQ(image.Bits.size(), 16u);
    EXPECT_TRUE(image.Palette.empty());

    CreateImage(2, 2, TexelFormat::DXT3, image);
    EXPECT_EQ(image.Width, 4);
    EXPECT_EQ(image.Height, 4);
    EXPECT_EQ(image.Size, 16);

    CreateImage(5, 3, TexelFormat::Index8, image);
    EXPECT_EQ(image.Width, 5);
    EXPECT_EQ(image.Size, 15);
    EXPECT_EQ(image.Palette.size(), 256u * 4);

    CreateImage(5, 3, TexelFormat::A8R8G8B8, image);
    EXPECT_EQ(image.Size, 60);
    EXPECT_TRUE(image.Palette.empty());
    EXPECT_TRUE(IsImageValid(image));
}

TEST(ImageRecord, SizesAreSixtyFourBit) {
    EXPECT_EQ(ImageBytesFor(TexelFormat::Unknown, 4, 4), -1);
    EXPECT_EQ(ImageBytesFor(TexelFormat::A8R8G8B8, 65536, 65536), int64_t{1} << 34);
    EXPECT_EQ(ImageBytesFor(TexelFormat::A8R8G8B8, INT32_MAX, INT32_MAX), -1) << "too large for 64 bits";
    EXPECT_EQ(ImageBytesFor(TexelFormat::DXT3, INT32_MAX, INT32_MAX), (int64_t{INT32_MAX} + 3) / 4 * ((int64_t{INT32_MAX} + 3) / 4) * 16);
}

TEST(ImageRecord, ValidityFollowsTheSizeRules) {
    ImageData image;
    EXPECT_FALSE(IsImageValid(image));
    CreateImage(4, 4, TexelFormat::DXT1, image);
    ASSERT_TRUE(IsImageValid(image));

    ImageData wrongSize = image;
    wrongSize.Size = 9;
    EXPECT_FALSE(IsImageValid(wrongSize));
    ImageData shortBits = image;
    shortBits.Bits.pop_back();
    EXPECT_FALSE(IsImageValid(shortBits));
    ImageData partialBlocks = image;
    partialBlocks.Width = 3;
    EXPECT_FALSE(IsImageValid(partialBlocks));

    ImageData indexed;
    CreateImage(2, 2, TexelFormat::Index8, indexed);
    indexed.Palette.resize(64);
    EXPECT_FALSE(IsImageValid(indexed));

    // Operations refuse invalid images without throwing.
    TDynImageDataArray chain;
    EXPECT_FALSE(ChangeFormat(wrongSize, TexelFormat::A8R8G8B8));
    EXPECT_FALSE(FlipRows(shortBits));
    EXPECT_FALSE(ScaleImage(indexed, 8, 8, SamplingFilter::Nearest));
    EXPECT_FALSE(ExchangeChannels(indexed, 0, 2));
    EXPECT_FALSE(BuildMipChain(wrongSize, 0, chain));
    EXPECT_TRUE(chain.empty());
}

TEST(ImageRecord, RefusedCopyLeavesTheDestinationAlone) {
    ImageData destination;
    CreateImage(2, 2, TexelFormat::Index8, destination);
    destination.Bits[0] = 1;
    EXPECT_FALSE(CopyImage(ImageData{}, destination));
    EXPECT_EQ(destination.Bits[0], 1);
    EXPECT_EQ(destination.Format, TexelFormat::Index8);
}

TEST(ImageRecord, FailuresCarryTheCoreMessages) {
    ImageData image;
    CreateImage(4, 4, TexelFormat::A8R8G8B8, image);
    try {
        CreateImage(0, 3, TexelFormat::DXT1, image);
        FAIL() << "a width of 0 must be refused";
    } catch (const EImagingError& e) {
        EXPECT_EQ(std::string(e.what()), "Error while creating image data with params: Width=0 Height=3 Format=DXT1.");
    }
    EXPECT_EQ(image.Width, 4) << "a failed creation keeps the old image";

    try {
        ChangeFormat(image, TexelFormat::Index8);
        FAIL() << "reducing to a palette is not supported";
    } catch (const EImagingError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error while converting image to format \"Index8\". ", 0), 0u) << e.what();
    }
    EXPECT_EQ(image.Format, TexelFormat::A8R8G8B8);

    try {
        ScaleImage(image, -1, 4, SamplingFilter::Nearest);
        FAIL();
    } catch (const EImagingError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error while resizing image.  ", 0), 0u) << e.what();
    }
    EXPECT_THROW(ReadImage({}, image), EImagingError);
    try {
        ReadImage({}, image);
    } catch (const EImagingError& e) {
        EXPECT_STREQ(e.what(), "Input stream has no data. Check Position property.");
    }
}
