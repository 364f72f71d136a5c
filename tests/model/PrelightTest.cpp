#include <gtest/gtest.h>

#include "model/Prelight.h"

using namespace veldrin;

namespace {

ModelVertex withColour(uint16_t colour) { return ModelVertex{{0, 0, 0}, 0.0f, 0.0f, colour}; }

} // namespace

TEST(Prelight, SourceColoursDecodeToMultiplesOfEight) {
    EXPECT_EQ(decodeVertexColour(0x0000), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(decodeVertexColour(0x001F), (Rgba{248, 0, 0, 255}));
    EXPECT_EQ(decodeVertexColour(0x03E0), (Rgba{0, 248, 0, 255}));
    EXPECT_EQ(decodeVertexColour(0x7C00), (Rgba{0, 0, 248, 255}));
    EXPECT_EQ(decodeVertexColour(0x0C22), (Rgba{16, 8, 24, 255}));
    EXPECT_EQ(decodeVertexColour(0x7FFF), decodeVertexColour(0xFFFF)); // bit 15 is not a colour bit
}

TEST(Prelight, DefaultLevelsLiftBlackAndKeepTheTop) {
    EXPECT_EQ(liftColour({0, 0, 0, 255}, 64), (Rgba{64, 64, 64, 255}));
    EXPECT_EQ(liftColour({248, 248, 248, 255}, 64), (Rgba{250, 250, 250, 255}));
    EXPECT_EQ(liftColour({0, 0, 0, 255}, 16), (Rgba{16, 16, 16, 255}));
    EXPECT_EQ(liftColour({248, 248, 248, 255}, 16), (Rgba{248, 248, 248, 255}));
    // Level 0 leaves colours alone; level 255 makes everything white.
    EXPECT_EQ(liftColour({8, 128, 248, 255}, 0), (Rgba{8, 128, 248, 255}));
    EXPECT_EQ(liftColour({8, 128, 248, 255}, 255), (Rgba{255, 255, 255, 255}));
}

TEST(Prelight, NightColoursOnlyWhenAsked) {
    const std::vector<ModelVertex> v{withColour(0x0000), withColour(0x7FFF)};
    const VertexColours plain = computeVertexColours(v, false, 64, 16);
    EXPECT_EQ(plain.prelit, (std::vector<Rgba>{{0, 0, 0, 255}, {248, 248, 248, 255}}));
    EXPECT_TRUE(plain.night.empty());

    const VertexColours lit = computeVertexColours(v, true, 64, 16);
    EXPECT_EQ(lit.prelit, (std::vector<Rgba>{{64, 64, 64, 255}, {250, 250, 250, 255}}));
    EXPECT_EQ(lit.night, (std::vector<Rgba>{{16, 16, 16, 255}, {248, 248, 248, 255}}));
}
