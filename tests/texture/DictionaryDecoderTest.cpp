// Dictionaries written by makeTxd, read back to RGBA: what the game will show must match the source
// texture (exactly for palettes and 32-bit texels, within block-compression error for DXT).
#include <gtest/gtest.h>

#include <cstdlib>

#include "TextureLevel.h"
#include "base/Error.h"
#include "imaging/Imaging.h"
#include "texture/DictionaryDecoder.h"
#include "texture/SourceTexture.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

// The source texture as RGBA, from the decoder the dictionary is built from.
std::vector<uint8_t> sourceRgba(const TextureLevel& level, const TextureRef& ref, GameVersion edition, TargetGame target) {
    DecodedTexture decoded = decodeSourceTexture(level.bytes, ref, edition, target);
    const bool sourceOrder = target == TargetGame::Gta3 && !decoded.hasAlpha; // red first already
    decoded.image = convertFormat(decoded.image, TexelFormat::A8R8G8B8);
    std::vector<uint8_t> rgba = decoded.image.texels;
    if (!sourceOrder)
        for (std::size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
    return rgba;
}

// Block compression keeps a smooth ramp close, so channel or texel mix-ups stand out against its error.
TestTexture ramp(int width, int height, int depth) {
    TestTexture t = patternTexture(width, height, depth);
    const int entries = depth == 4 ? 16 : 256;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) t.texels[std::size_t(y * width + x)] = uint8_t((x + y) * (entries - 1) / (width + height - 2));
    for (int e = 0; e < entries; ++e) {
        const int v = e * 255 / (entries - 1);
        t.palette[std::size_t(e)] = {uint8_t(v), uint8_t(v / 2), uint8_t(255 - v), 128};
    }
    return t;
}

TestTexture withTransparency(TestTexture t) {
    t.palette[3][3] = 0;
    return t;
}

std::vector<uint8_t> sampleDictionary(TargetGame target) {
    const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, {patternTexture(32, 16, 8)});
    return makeTxd(level.bytes, level.refs, TxdParams{target, GameVersion::LcsPs2, "t"});
}

} // namespace

TEST(DictionaryDecoder, Level0MatchesTheSourceForEveryTargetAndKind) {
    const std::vector<TestTexture> textures = {ramp(32, 16, 8), withTransparency(ramp(16, 16, 4)), ramp(8, 64, 8)};
    struct Case {
        TargetGame target;
        bool mipMaps;
        double tolerance; // mean absolute error per channel
    };
    for (const Case c : {Case{TargetGame::Gta3, false, 0.0}, Case{TargetGame::GtaVc, true, 4.0},
                         Case{TargetGame::GtaSa, false, 4.0}}) {
        const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, textures, 7);
        TxdParams params{c.target, GameVersion::LcsPs2, "lvl"};
        params.genMipMaps = c.mipMaps;
        const auto decoded = decodeDictionary(makeTxd(level.bytes, level.refs, params), "test.txd");
        ASSERT_EQ(decoded.size(), textures.size());
        for (std::size_t i = 0; i < textures.size(); ++i) {
            SCOPED_TRACE("target " + std::to_string(int(c.target)) + ", texture " + std::to_string(i));
            const DictionaryTexture& t = decoded[i];
            EXPECT_EQ(t.name, "lvl" + std::to_string(7 + i));
            EXPECT_EQ(t.width, textures[i].width);
            EXPECT_EQ(t.height, textures[i].height);
            EXPECT_EQ(t.hasAlpha, i == 1);
            const std::vector<uint8_t> expected = sourceRgba(level, level.refs[i], GameVersion::LcsPs2, c.target);
            ASSERT_EQ(t.rgba.size(), expected.size());
            double error = 0;
            for (std::size_t b = 0; b < expected.size(); ++b) error += std::abs(int(t.rgba[b]) - int(expected[b]));
            EXPECT_LE(error / double(expected.size()), c.tolerance);
        }
    }
}

TEST(DictionaryDecoder, HighQualityBlocksComeCloserToTheSource) {
    const std::vector<TestTexture> textures = {ramp(32, 16, 8), withTransparency(ramp(16, 16, 4))};
    const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, textures, 7);
    for (const TargetGame target : {TargetGame::GtaVc, TargetGame::GtaSa}) {
        std::vector<uint8_t> bytes[2];
        double error[2] = {0, 0};
        for (const DxtQuality quality : {DxtQuality::Exact, DxtQuality::High}) {
            TxdParams params{target, GameVersion::LcsPs2, "lvl"};
            params.genMipMaps = true;
            params.dxtQuality = quality;
            const int q = quality == DxtQuality::High;
            bytes[q] = makeTxd(level.bytes, level.refs, params);
            const auto decoded = decodeDictionary(bytes[q], "test.txd");
            for (std::size_t i = 0; i < textures.size(); ++i) {
                const std::vector<uint8_t> expected = sourceRgba(level, level.refs[i], GameVersion::LcsPs2, target);
                for (std::size_t b = 0; b < expected.size(); ++b) error[q] += std::abs(int(decoded[i].rgba[b]) - int(expected[b]));
            }
        }
        EXPECT_NE(bytes[0], bytes[1]) << "the quality reaches the block encoder";
        EXPECT_EQ(bytes[0].size(), bytes[1].size());
        EXPECT_LT(error[1], error[0]) << "target " << int(target);
    }
}

TEST(DictionaryDecoder, RefusesDamagedDictionariesWithAMessage) {
    const std::vector<uint8_t> gta3 = sampleDictionary(TargetGame::Gta3);
    const std::vector<uint8_t> sa = sampleDictionary(TargetGame::GtaSa);
    // Every cut of the bytes is refused, whatever chunk it falls in.
    for (std::size_t cut = 0; cut < gta3.size(); cut += 7) {
        const std::vector<uint8_t> part(gta3.begin(), gta3.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_THROW(decodeDictionary(part, "cut.txd"), VeldrinError) << cut;
    }
    // The first native's struct starts at 52: dictionary and struct headers, count, native and struct headers.
    struct Damage {
        const char* what;
        const std::vector<uint8_t>* base;
        std::size_t offset;
        uint8_t value;
    };
    const Damage damages[] = {
        {"dictionary chunk type", &gta3, 0, 0x17},
        {"texture count beyond the natives", &gta3, 24, 2},
        {"native chunk type", &gta3, 28, 0x14},
        {"zero width", &gta3, 52 + 80, 0},
        {"level size that does not fit the size", &gta3, 52 + 88 + 1024, 0x11},
        {"palette flag dropped", &gta3, 52 + 73, 0x06},
        {"unknown block kind", &sa, 52 + 76, 'X'},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bytes = *d.base;
        ASSERT_LT(d.offset, bytes.size());
        bytes[d.offset] = d.value;
        EXPECT_THROW(decodeDictionary(bytes, "damaged.txd"), VeldrinError) << d.what;
    }
    EXPECT_NO_THROW(decodeDictionary(sa, "whole.txd"));
}
