#include <gtest/gtest.h>

#include <string>

#include "imaging/Imaging.h"

using namespace veldrin;

TEST(ImageRecord, CreateImageRoundsBlockFormatsUpToWholeBlocks) {
    ImageData image = createImage(6, 3, TexelFormat::DXT1);
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 4);
    EXPECT_EQ(image.texelBytes, 16);
    EXPECT_EQ(image.texels.size(), 16u);
    EXPECT_TRUE(image.palette.empty());

    image = createImage(2, 2, TexelFormat::DXT3);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 4);
    EXPECT_EQ(image.texelBytes, 16);

    image = createImage(5, 3, TexelFormat::Index8);
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.texelBytes, 15);
    EXPECT_EQ(image.palette.size(), 256u * 4);

    image = createImage(5, 3, TexelFormat::A8R8G8B8);
    EXPECT_EQ(image.texelBytes, 60);
    EXPECT_TRUE(image.palette.empty());
    EXPECT_TRUE(isImageValid(image));
}

TEST(ImageRecord, SizesAreSixtyFourBit) {
    EXPECT_EQ(imageBytesFor(TexelFormat::Unknown, 4, 4), -1);
    EXPECT_EQ(imageBytesFor(TexelFormat::A8R8G8B8, 65536, 65536), int64_t{1} << 34);
    EXPECT_EQ(imageBytesFor(TexelFormat::A8R8G8B8, INT32_MAX, INT32_MAX), -1) << "too large for 64 bits";
    EXPECT_EQ(imageBytesFor(TexelFormat::DXT3, INT32_MAX, INT32_MAX), (int64_t{INT32_MAX} + 3) / 4 * ((int64_t{INT32_MAX} + 3) / 4) * 16);
}

TEST(ImageRecord, ValidityFollowsTheSizeRules) {
    ImageData image;
    EXPECT_FALSE(isImageValid(image));
    image = createImage(4, 4, TexelFormat::DXT1);
    ASSERT_TRUE(isImageValid(image));

    ImageData wrongSize = image;
    wrongSize.texelBytes = 9;
    EXPECT_FALSE(isImageValid(wrongSize));
    ImageData shortBits = image;
    shortBits.texels.pop_back();
    EXPECT_FALSE(isImageValid(shortBits));
    ImageData partialBlocks = image;
    partialBlocks.width = 3;
    EXPECT_FALSE(isImageValid(partialBlocks));

    ImageData indexed = createImage(2, 2, TexelFormat::Index8);
    indexed.palette.resize(64);
    EXPECT_FALSE(isImageValid(indexed));

    // Operations refuse invalid images.
    EXPECT_THROW(convertFormat(wrongSize, TexelFormat::A8R8G8B8), VeldrinError);
    EXPECT_THROW(scaleImage(shortBits, 8, 8, SamplingFilter::Nearest), VeldrinError);
    EXPECT_THROW(exchangeChannels(indexed, 0, 2), VeldrinError);
    EXPECT_THROW(buildMipChain(partialBlocks, 0), VeldrinError);
}

TEST(ImageRecord, FailuresCarryTheCoreMessages) {
    ImageData image = createImage(4, 4, TexelFormat::A8R8G8B8);
    try {
        createImage(0, 3, TexelFormat::DXT1);
        FAIL() << "a width of 0 must be refused";
    } catch (const VeldrinError& e) {
        EXPECT_EQ(std::string(e.what()), "Error while creating image data with params: Width=0 Height=3 Format=DXT1.");
    }

    try {
        convertFormat(image, TexelFormat::Index8);
        FAIL() << "reducing to a palette is not supported";
    } catch (const VeldrinError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error while converting image to format \"Index8\". ", 0), 0u) << e.what();
    }

    try {
        scaleImage(image, -1, 4, SamplingFilter::Nearest);
        FAIL();
    } catch (const VeldrinError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error while resizing image.  ", 0), 0u) << e.what();
    }
}
