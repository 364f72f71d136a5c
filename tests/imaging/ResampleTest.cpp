#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "imaging/Imaging.h"
#include "internal/Resample.h"
#include "internal/VectorTargets.h"

using namespace veldrin;

namespace {

ImageData UniformArgb(int32_t width, int32_t height, std::array<uint8_t, 4> value) {
    ImageData image = createImage(width, height, TexelFormat::A8R8G8B8);
    for (std::size_t i = 0; i < image.texels.size(); ++i) image.texels[i] = value[i % 4];
    return image;
}

bool IsUniform(const ImageData& image, std::array<uint8_t, 4> value) {
    for (std::size_t i = 0; i < image.texels.size(); ++i)
        if (image.texels[i] != value[i % 4]) return false;
    return true;
}

std::vector<int32_t> Sources(const std::vector<IntegerWeightedSource>& pairs) {
    std::vector<int32_t> out;
    for (const auto& p : pairs) out.push_back(p.source);
    return out;
}

std::vector<int32_t> Weights(const std::vector<IntegerWeightedSource>& pairs) {
    std::vector<int32_t> out;
    for (const auto& p : pairs) out.push_back(p.weight);
    return out;
}

} // namespace

TEST(Resample, TriangleTapsForHalvingAndQuartering) {
    const auto halving = toIntegerWeights(buildMappingTable(8, 4, SamplingFilter::Triangle));
    ASSERT_EQ(halving.size(), 4u);
    EXPECT_EQ(Sources(halving[1]), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(Weights(halving[1]), (std::vector<int32_t>{32, 96, 96, 32}));
    // At the edge the source position is clamped, so texel 0 appears twice.
    EXPECT_EQ(Sources(halving[0]), (std::vector<int32_t>{0, 0, 1, 2}));

    const auto quartering = toIntegerWeights(buildMappingTable(16, 4, SamplingFilter::Triangle));
    EXPECT_EQ(Sources(quartering[1]), (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Weights(quartering[1]), (std::vector<int32_t>{8, 24, 40, 56, 56, 40, 24, 8}));

    const auto single = buildMappingTable(1, 3, SamplingFilter::Triangle);
    for (const auto& pairs : single) {
        ASSERT_EQ(pairs.size(), 1u);
        EXPECT_EQ(pairs[0].source, 0);
        EXPECT_EQ(pairs[0].weight, 1.0f);
    }
}

TEST(Resample, HalvingARowMatchesTheWorkedNumbers) {
    ImageData image = UniformArgb(4, 1, {0, 0, 0, 255});
    image.texels[8] = 255;
    image.texels[12] = 255;
    image = scaleImage(image, 2, 1, SamplingFilter::Triangle);
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(image.texels[0], 31);  // (255 x 32) x 256 >> 16, fraction dropped
    EXPECT_EQ(image.texels[4], 223); // (255 x 224) x 256 >> 16
    EXPECT_EQ(image.texels[3], 255);
}

TEST(Resample, RoundedWeightsAlwaysSumTo256) {
    // Power-of-two shrinking up to 256 times already sums to 256: the weights stay as rounded.
    for (int32_t factor = 2; factor <= 256; factor *= 2) {
        const auto floats = buildMappingTable(factor * 2, 2, SamplingFilter::Triangle);
        const auto integers = toIntegerWeights(floats);
        for (std::size_t i = 0; i < floats.size(); ++i)
            for (std::size_t k = 0; k < floats[i].size(); ++k)
                ASSERT_EQ(integers[i][k].weight, std::nearbyint(floats[i][k].weight * 256.0)) << factor;
    }
    // From 512 times on every rounded weight is 0; the middle pair takes the whole 256.
    for (auto [source, destination] : {std::pair{512, 1}, {1024, 2}, {4096, 1}, {3, 7}, {1000, 3}, {7, 3}}) {
        for (SamplingFilter filter : {SamplingFilter::Triangle, SamplingFilter::CatmullRom}) {
            for (const auto& pairs : toIntegerWeights(buildMappingTable(source, destination, filter))) {
                int32_t sum = 0;
                for (const auto& p : pairs) {
                    ASSERT_GE(p.source, 0);
                    ASSERT_LT(p.source, source);
                    sum += p.weight;
                }
                EXPECT_EQ(sum, 256) << source << " -> " << destination;
            }
        }
    }
}

TEST(Resample, UniformImagesStayUniformAtEveryMipLevel) {
    const std::array<uint8_t, 4> value{255, 128, 7, 200};
    // 1024 wide: the last two levels shrink 512 and 1024 times.
    const ImageData image = UniformArgb(1024, 4, value);
    MipChain chain = buildMipChain(image, 0);
    ASSERT_EQ(chain.size(), 11u);
    for (std::size_t level = 0; level < chain.size(); ++level)
        EXPECT_TRUE(IsUniform(chain[level], value)) << "level " << level;
    EXPECT_EQ(chain.back().width, 1);

    ImageData enlarged = UniformArgb(3, 5, value);
    enlarged = scaleImage(enlarged, 7, 11, SamplingFilter::CatmullRom);
    EXPECT_TRUE(IsUniform(enlarged, value));
}

TEST(Resample, NearestStretchingRepeatsTexels) {
    ImageData image = createImage(2, 1, TexelFormat::Index8);
    image.texels = {3, 9};
    image.palette[9 * 4] = 77;
    image = scaleImage(image, 4, 2, SamplingFilter::CatmullRom); // indexed images always use nearest
    EXPECT_EQ(image.texels, (std::vector<uint8_t>{3, 3, 9, 9, 3, 3, 9, 9}));
    EXPECT_EQ(image.palette[9 * 4], 77);
    EXPECT_EQ(image.format, TexelFormat::Index8);

    ImageData single = createImage(1, 1, TexelFormat::A8R8G8B8);
    single.texels = {1, 2, 3, 4};
    single = scaleImage(single, 4, 1, SamplingFilter::Nearest);
    EXPECT_EQ(single.texels, (std::vector<uint8_t>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));

    // Shrinking 5 to 2: step 5 x 65536 / 2, texels 0 and 2.
    ImageData row = createImage(5, 1, TexelFormat::Index8);
    row.texels = {10, 11, 12, 13, 14};
    row = scaleImage(row, 2, 1, SamplingFilter::Nearest);
    EXPECT_EQ(row.texels, (std::vector<uint8_t>{10, 12}));

    EXPECT_EQ(scaleImage(row, 2, 1, SamplingFilter::Triangle).texels, row.texels) << "the same size changes nothing";
}

TEST(Resample, EveryVectorTargetSumsLikeThePlainPasses) {
    // Odd widths leave tails after every vector width; CatmullRom brings negative weights and clamping.
    const std::vector<std::array<int32_t, 4>> sizes{{37, 9, 18, 4}, {64, 64, 32, 32}, {5, 3, 11, 7}, {130, 2, 1, 1}, {512, 8, 8, 2}};
    std::mt19937 random(3);
    for (const int64_t target : runnableVectorTargets()) {
        pinVectorTarget(target);
        for (const auto& [sourceWidth, sourceHeight, width, height] : sizes) {
            ImageData source = createImage(sourceWidth, sourceHeight, TexelFormat::A8R8G8B8);
            // Stripes of 0 and 255 (sums at the clamping limits, overshoot at their edges) beside noise.
            for (int32_t y = 0; y < sourceHeight; ++y)
                for (int32_t x = 0; x < sourceWidth; ++x)
                    for (int32_t c = 0; c < 4; ++c)
                        source.texels[(static_cast<std::size_t>(y) * sourceWidth + x) * 4 + c] =
                            y % 4 == 3 ? static_cast<uint8_t>(random()) : ((x / (c + 2) + y / 3) % 2 ? 255 : 0);
            for (const SamplingFilter filter : {SamplingFilter::Triangle, SamplingFilter::CatmullRom}) {
                const WeightedPasses passes = planWeightedPasses(sourceWidth, sourceHeight, width, height, filter);
                std::vector<uint8_t> vector(static_cast<std::size_t>(width) * height * 4), plain(vector.size());
                resampleRows(source, passes, vector.data());
                resampleRowsPlain(source, passes, plain.data());
                ASSERT_EQ(vector, plain) << vectorTargetName(target) << " " << sourceWidth << "x" << sourceHeight << " to "
                                         << width << "x" << height << " filter " << static_cast<int>(filter);
            }
        }
    }
    pinVectorTarget(0);
}

// Plans are shared between calls: every size pair and filter, met in any order and more than once,
// must still resample with its own plan.
TEST(Resample, SharedPlansGiveEachSizeAndFilterItsOwnResult) {
    std::mt19937 random(7);
    ImageData source = createImage(32, 16, TexelFormat::A8R8G8B8);
    for (uint8_t& b : source.texels) b = static_cast<uint8_t>(random());
    struct Case {
        int32_t width, height;
        SamplingFilter filter;
    };
    const Case cases[] = {{16, 8, SamplingFilter::Triangle},  {16, 8, SamplingFilter::CatmullRom}, {8, 16, SamplingFilter::Triangle},
                          {16, 4, SamplingFilter::Triangle},  {4, 2, SamplingFilter::CatmullRom},  {16, 8, SamplingFilter::Triangle},
                          {32, 16, SamplingFilter::Triangle}, {8, 16, SamplingFilter::Triangle},   {4, 2, SamplingFilter::CatmullRom}};
    for (const Case& c : cases) {
        std::vector<uint8_t> expected(static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height) * 4);
        resampleRowsPlain(source, planWeightedPasses(source.width, source.height, c.width, c.height, c.filter), expected.data());
        EXPECT_EQ(resampleFiltered(source, c.width, c.height, c.filter).texels, expected) << c.width << " x " << c.height;
    }
}
