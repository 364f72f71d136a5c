#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "imaging/Imaging.h"
#include "internal/BlockRows.h"
#include "internal/VectorTargets.h"

using namespace veldrin;

namespace {

std::vector<uint8_t> encodeOneBlockAtATime(const std::vector<uint8_t>& texels, int32_t width, int32_t height, bool dxt3) {
    const int64_t blockBytes = dxt3 ? 16 : 8, pitch = int64_t{width} * 4;
    std::vector<uint8_t> blocks(static_cast<std::size_t>(width / 4 * (height / 4) * blockBytes));
    for (int32_t by = 0; by < height / 4; ++by)
        encodeBlockRowScalar(texels.data() + by * 4 * pitch, pitch, width / 4, dxt3, blocks.data() + by * (width / 4) * blockBytes);
    return blocks;
}

// Texel makers; each gets the texel's position and a random source.
using TexelMaker = std::function<void(int32_t x, int32_t y, std::mt19937& random, uint8_t* texel)>;

struct Pattern {
    const char* name;
    TexelMaker make;
};

uint8_t pick(std::mt19937& random, std::initializer_list<uint8_t> values) {
    return *(values.begin() + random() % values.size());
}

const std::vector<Pattern> kPatterns{
    {"random bytes", [](int32_t, int32_t, std::mt19937& r, uint8_t* t) { for (int c = 0; c < 4; ++c) t[c] = static_cast<uint8_t>(r()); }},
    // Few distinct values: many equally far pairs and texels halfway between palette entries.
    {"few levels", [](int32_t, int32_t, std::mt19937& r, uint8_t* t) {
         for (int c = 0; c < 3; ++c) t[c] = pick(r, {0, 85, 170, 255});
         t[3] = pick(r, {0, 127, 128, 255});
     }},
    {"extremes", [](int32_t, int32_t, std::mt19937& r, uint8_t* t) {
         for (int c = 0; c < 4; ++c) t[c] = pick(r, {0, 255});
     }},
    // Colours that pack to the same 565 value, so endpoints tie after packing.
    {"near one colour", [](int32_t, int32_t, std::mt19937& r, uint8_t* t) {
         t[0] = static_cast<uint8_t>(200 + r() % 8);
         t[1] = static_cast<uint8_t>(100 + r() % 4);
         t[2] = static_cast<uint8_t>(40 + r() % 8);
         t[3] = static_cast<uint8_t>(120 + r() % 16);
     }},
    // Rough opaque blocks side by side with blocks that have a cut-out texel, and opaque blocks of few
    // levels whose colours tie along any axis.
    {"noise with sparse holes", [](int32_t x, int32_t y, std::mt19937& r, uint8_t* t) {
         for (int c = 0; c < 3; ++c) t[c] = static_cast<uint8_t>(r());
         t[3] = (x * 5 + y * 3) % 23 == 0 ? 0 : 255;
     }},
    {"opaque few levels", [](int32_t, int32_t, std::mt19937& r, uint8_t* t) {
         for (int c = 0; c < 3; ++c) t[c] = pick(r, {0, 85, 170, 255});
         t[3] = 255;
     }},
    {"uniform", [](int32_t, int32_t, std::mt19937&, uint8_t* t) { t[0] = 17; t[1] = 99; t[2] = 250; t[3] = 255; }},
    {"gradient", [](int32_t x, int32_t y, std::mt19937&, uint8_t* t) {
         t[0] = static_cast<uint8_t>(x * 3);
         t[1] = static_cast<uint8_t>(y * 5);
         t[2] = static_cast<uint8_t>(255 - x - y);
         t[3] = static_cast<uint8_t>(x * 7 + y);
     }},
};

} // namespace

TEST(DxtVector, EveryTargetGivesThePlainEncodersBytes) {
    const std::vector<int64_t> targets = runnableVectorTargets();
    ASSERT_FALSE(targets.empty());
    // Block counts across that leave every possible tail for vectors of up to 16 lanes.
    const std::vector<int32_t> blocksAcross{1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33};
    for (const int64_t target : targets) {
        pinVectorTarget(target);
        std::mt19937 random(7);
        for (const Pattern& pattern : kPatterns)
            for (const int32_t across : blocksAcross) {
                const int32_t width = across * 4, height = 12;
                std::vector<uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
                for (int32_t y = 0; y < height; ++y)
                    for (int32_t x = 0; x < width; ++x)
                        pattern.make(x, y, random, &texels[(static_cast<std::size_t>(y) * width + x) * 4]);
                for (const TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3})
                    ASSERT_EQ(encodeBlocks(texels, width, height, format),
                              encodeOneBlockAtATime(texels, width, height, format == TexelFormat::DXT3))
                        << vectorTargetName(target) << ", " << pattern.name << ", " << across << " blocks across, "
                        << formatInfo(format).name;
            }
    }
    pinVectorTarget(0);
}

TEST(DxtVector, HighQualityBytesDoNotDependOnTheTarget) {
    const std::vector<int64_t> targets = runnableVectorTargets();
    const int32_t width = 17 * 4, height = 8;
    std::mt19937 random(13);
    for (const Pattern& pattern : kPatterns) {
        std::vector<uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) pattern.make(x, y, random, &texels[(static_cast<std::size_t>(y) * width + x) * 4]);
        for (const TexelFormat format : {TexelFormat::DXT1, TexelFormat::DXT3}) {
            pinVectorTarget(targets.front());
            const auto reference = encodeBlocks(texels, width, height, format, DxtQuality::High);
            for (const int64_t target : targets) {
                pinVectorTarget(target);
                ASSERT_EQ(encodeBlocks(texels, width, height, format, DxtQuality::High), reference)
                    << vectorTargetName(target) << " against " << vectorTargetName(targets.front()) << ", "
                    << pattern.name << ", " << formatInfo(format).name;
            }
        }
    }
    pinVectorTarget(0);
}
