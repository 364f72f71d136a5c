#include "internal/Dxt.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "internal/LittleEndian.h"

namespace veldrin {

namespace {

int32_t colourDistance(const Rgb& x, const Rgb& y) {
    const int32_t dr = x.r - y.r, dg = x.g - y.g, db = x.b - y.b;
    return dr * dr + dg * dg + db * db;
}

Rgb texelRgb(const uint8_t* texel) {
    return {texel[2], texel[1], texel[0]};
}

Rgb twoThirdsOneThird(const Rgb& a, const Rgb& b) {
    return {(2 * a.r + b.r + 1) / 3, (2 * a.g + b.g + 1) / 3, (2 * a.b + b.b + 1) / 3};
}

Rgb halfway(const Rgb& a, const Rgb& b) {
    return {(a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1};
}

// The colour half of a block (8 bytes). A DXT1 block with any texel below alpha 128 becomes a
// three-colour block whose index 3 marks the transparent texels.
std::array<uint8_t, 8> encodeColourBlock(const uint8_t* texels, bool isDxt1) {
    std::array<Rgb, 16> colours;
    bool transparent = false;
    for (int k = 0; k < 16; ++k) {
        colours[k] = texelRgb(texels + 4 * k);
        if (isDxt1 && texels[4 * k + 3] < 128) transparent = true;
    }

    // Farthest pair, in order of i then j; only a strictly larger distance replaces the pair found.
    int32_t best = -1;
    int first = 0, second = 1;
    for (int i = 0; i < 16; ++i)
        for (int j = i + 1; j < 16; ++j) {
            const int32_t distance = colourDistance(colours[i], colours[j]);
            if (distance > best) {
                best = distance;
                first = i;
                second = j;
            }
        }
    const uint8_t* a = texels + 4 * first;
    const uint8_t* b = texels + 4 * second;
    uint16_t colour0 = packColour565(a[2], a[1], a[0]);
    uint16_t colour1 = packColour565(b[2], b[1], b[0]);
    // The endpoint order tells a decoder which palette the block uses.
    if (transparent ? colour0 > colour1 : colour0 < colour1) std::swap(colour0, colour1);

    const Rgb e0 = expandColour565(colour0), e1 = expandColour565(colour1);
    std::array<Rgb, 4> palette{e0, e1, {}, {}};
    int paletteSize = 4;
    if (transparent) {
        paletteSize = 3;
        palette[2] = halfway(e0, e1);
    } else {
        palette[2] = twoThirdsOneThird(e0, e1);
        palette[3] = twoThirdsOneThird(e1, e0);
    }

    uint32_t indices = 0;
    for (int k = 0; k < 16; ++k) {
        uint32_t index = 3;
        if (!(transparent && texels[4 * k + 3] < 128)) {
            int32_t nearest = colourDistance(colours[k], palette[0]);
            index = 0;
            for (int p = 1; p < paletteSize; ++p) {
                const int32_t distance = colourDistance(colours[k], palette[p]);
                if (distance < nearest) {
                    nearest = distance;
                    index = static_cast<uint32_t>(p);
                }
            }
        }
        indices |= index << (2 * k);
    }
    std::array<uint8_t, 8> block;
    storeU16(block.data(), colour0);
    storeU16(block.data() + 2, colour1);
    storeU32(block.data() + 4, indices);
    return block;
}

BlockTexels decodeColourBlock(const uint8_t* block, bool fourColours) {
    uint32_t words[4];
    colourBlockWords(block, fourColours, false, words);
    const uint32_t indices = loadU32(block + 4);
    BlockTexels texels;
    for (int k = 0; k < 16; ++k) std::memcpy(texels.data() + 4 * k, &words[(indices >> (2 * k)) & 3], 4);
    return texels;
}

} // namespace

void colourBlockWords(const uint8_t* block, bool fourColours, bool redFirst, uint32_t words[4]) {
    // 5 and 6 bits widened as expandColour565 does, by table: every texel of a sheet goes through here.
    static constexpr auto kWiden = [](int bits) {
        std::array<uint8_t, 64> t{};
        const int most = (1 << bits) - 1;
        for (int i = 0; i <= most; ++i) t[std::size_t(i)] = static_cast<uint8_t>(i * 255 / most);
        return t;
    };
    static constexpr std::array<uint8_t, 64> kFive = kWiden(5), kSix = kWiden(6);
    const uint16_t colour0 = loadU16(block), colour1 = loadU16(block + 2);
    int c[4][3] = {{kFive[colour0 >> 11], kSix[(colour0 >> 5) & 63], kFive[colour0 & 31]},
                   {kFive[colour1 >> 11], kSix[(colour1 >> 5) & 63], kFive[colour1 & 31]}};
    const bool threeColours = !fourColours && colour1 >= colour0;
    for (int ch = 0; ch < 3; ++ch) {
        // As twoThirdsOneThird and halfway round.
        c[2][ch] = threeColours ? (c[0][ch] + c[1][ch]) >> 1 : (2 * c[0][ch] + c[1][ch] + 1) / 3;
        c[3][ch] = (2 * c[1][ch] + c[0][ch] + 1) / 3;
    }
    for (int i = 0; i < 4; ++i) {
        const uint8_t alpha = i == 3 && threeColours ? 0 : 255;
        const uint8_t texel[4] = {static_cast<uint8_t>(c[i][redFirst ? 0 : 2]), static_cast<uint8_t>(c[i][1]),
                                  static_cast<uint8_t>(c[i][redFirst ? 2 : 0]), alpha};
        std::memcpy(&words[i], texel, 4);
    }
}

uint16_t packColour565(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

Rgb expandColour565(uint16_t colour) {
    return {((colour >> 11) & 31) * 255 / 31, ((colour >> 5) & 63) * 255 / 63, (colour & 31) * 255 / 31};
}

void encodeAlphaNibbles(const uint8_t* texels, uint8_t* out) {
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<uint8_t>((texels[4 * (2 * i) + 3] >> 4) | (texels[4 * (2 * i + 1) + 3] & 0xF0));
}

std::array<uint8_t, 8> encodeBlockDxt1(const uint8_t* texels) {
    return encodeColourBlock(texels, true);
}

std::array<uint8_t, 16> encodeBlockDxt3(const uint8_t* texels) {
    std::array<uint8_t, 16> block;
    encodeAlphaNibbles(texels, block.data());
    const auto colour = encodeColourBlock(texels, false);
    std::copy(colour.begin(), colour.end(), block.begin() + 8);
    return block;
}

BlockTexels decodeBlockDxt1(const uint8_t* block) {
    return decodeColourBlock(block, false);
}

BlockTexels decodeBlockDxt3(const uint8_t* block) {
    BlockTexels texels = decodeColourBlock(block + 8, true);
    for (int k = 0; k < 16; ++k) {
        const uint8_t nibble = (k % 2 == 0) ? (block[k / 2] & 0x0F) : (block[k / 2] >> 4);
        texels[4 * k + 3] = static_cast<uint8_t>(nibble * 17);
    }
    return texels;
}

} // namespace veldrin
