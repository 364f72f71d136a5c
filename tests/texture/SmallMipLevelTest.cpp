// Mip levels narrower or shorter than a block: readers show the block's top-left w x h texels, so those
// must hold the level itself. Each written level is decoded and its corner compared with the level
// resampled from the written level 0, the way the chain makes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "TextureLevel.h"
#include "TxdChecks.h"
#include "imaging/Imaging.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

// A grey ramp along x + y (alpha falling along it when `transparent`): the colours of any block lie on
// one line, so the encoder's own error stays small and a misplaced texel shows.
TestTexture rampTexture(int width, int height, bool transparent) {
    TestTexture t;
    t.width = width;
    t.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            t.texels.push_back(static_cast<uint8_t>(255 * (x * (height - 1) + y * (width - 1)) /
                                                    std::max(1, 2 * (width - 1) * (height - 1))));
    for (int e = 0; e < 256; ++e) {
        const auto grey = static_cast<uint8_t>(60 + e * 120 / 255);
        t.palette.push_back({grey, grey, grey, static_cast<uint8_t>(transparent ? 255 - e / 2 : 255)});
    }
    return t;
}

ImageData decodedLevel(const std::vector<uint8_t>& blocks, int width, int height, TexelFormat format) {
    ImageData image = createImage(width, height, TexelFormat::A8R8G8B8);
    image.texels = decodeBlocks(blocks, image.width, image.height, format);
    return image;
}

} // namespace

TEST(SmallMipLevels, SitAtTheTopLeftOfTheirBlock) {
    struct Case {
        int levelWidth, levelHeight; // the level looked at, level 3 of a texture eight times its size
    };
    const std::vector<Case> cases{{2, 2}, {2, 1}, {1, 2}, {4, 2}, {2, 4}, {8, 2}, {2, 8}, {1, 1}, {4, 1}, {1, 4}};
    for (const Case& c : cases)
        for (DxtQuality quality : {DxtQuality::Exact, DxtQuality::High})
            for (bool transparent : {false, true}) {
                const std::string what = std::to_string(c.levelWidth) + "x" + std::to_string(c.levelHeight) +
                                         (quality == DxtQuality::High ? " high" : " exact") +
                                         (transparent ? " DXT3" : " DXT1");
                TxdParams p{TargetGame::GtaVc, GameVersion::LcsPsp, "tex"};
                p.genMipMaps = true;
                p.dxtQuality = quality;
                const TextureLevel level =
                    buildTextureLevel(p.edition, {rampTexture(c.levelWidth * 8, c.levelHeight * 8, transparent)});
                const ReadNative n = readTxd(makeTxd(level.bytes, level.refs, p)).textures.at(0);
                const TexelFormat format = transparent ? TexelFormat::DXT3 : TexelFormat::DXT1;
                const ImageData top = decodedLevel(n.levels.at(0), n.width, n.height, format);
                ASSERT_GT(n.levels.size(), 3u) << what;

                const int w = c.levelWidth, h = c.levelHeight;
                const ImageData want = scaleImage(top, w, h, SamplingFilter::Triangle);
                const ImageData got = decodedLevel(n.levels[3], std::max(w, 4), std::max(h, 4), format);
                int worstColour = 0, worstAlpha = 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        for (int ch = 0; ch < 4; ++ch) {
                            const int error = std::abs(got.texels[(y * got.width + x) * 4 + ch] -
                                                       want.texels[(y * w + x) * 4 + ch]);
                            int& worst = ch == 3 ? worstAlpha : worstColour;
                            worst = std::max(worst, error);
                        }
                // 565 rounding plus part of the step between the block's palette colours; alpha within one
                // 4-bit step (17).
                EXPECT_LE(worstColour, 12) << what;
                EXPECT_LE(worstAlpha, 17) << what;
            }
}
