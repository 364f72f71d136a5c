#include "imaging/Dxt.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "imaging/Imaging.h"

namespace veldrin {

namespace {

struct Rgb {
    int32_t r = 0, g = 0, b = 0;
};

int32_t ColourDistance(const Rgb& x, const Rgb& y) {
    const int32_t dr = x.r - y.r, dg = x.g - y.g, db = x.b - y.b;
    return dr * dr + dg * dg + db * db;
}

Rgb ExpandRgb(uint16_t colour) {
    int32_t rgb[3];
    ExpandColour565(colour, rgb);
    return {rgb[2], rgb[1], rgb[0]};
}

Rgb TexelRgb(const uint8_t* texel) {
    return {texel[2], texel[1], texel[0]};
}

void StoreU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void StoreU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t LoadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// The colour half of a block (8 bytes). A DXT1 block with any texel below alpha 128 becomes a
// three-colour block whose index 3 marks the transparent texels.
void EncodeColourBlock(const uint8_t texels[64], bool isDxt1, uint8_t out[8]) {
    std::array<Rgb, 16> colours;
    bool transparent = false;
    for (int k = 0; k < 16; ++k) {
        colours[k] = TexelRgb(texels + 4 * k);
        if (isDxt1 && texels[4 * k + 3] < 128) transparent = true;
    }

    // Farthest pair, in order of i then j; only a strictly larger distance replaces the pair found.
    int32_t best = -1;
    int first = 0, second = 1;
    for (int i = 0; i < 16; ++i)
        for (int j = i + 1; j < 16; ++j) {
            const int32_t distance = ColourDistance(colours[i], colours[j]);
            if (distance > best) {
                best = distance;
                first = i;
                second = j;
            }
        }
    const uint8_t* a = texels + 4 * first;
    const uint8_t* b = texels + 4 * second;
    uint16_t colour0 = PackColour565(a[2], a[1], a[0]);
    uint16_t colour1 = PackColour565(b[2], b[1], b[0]);
    // The endpoint order tells a decoder which palette the block uses.
    if (transparent ? colour0 > colour1 : colour0 < colour1) std::swap(colour0, colour1);

    const Rgb e0 = ExpandRgb(colour0), e1 = ExpandRgb(colour1);
    std::array<Rgb, 4> palette{e0, e1, {}, {}};
    int paletteSize = 4;
    if (transparent) {
        paletteSize = 3;
        palette[2] = {(e0.r + e1.r) >> 1, (e0.g + e1.g) >> 1, (e0.b + e1.b) >> 1};
    } else {
        palette[2] = {(2 * e0.r + e1.r + 1) / 3, (2 * e0.g + e1.g + 1) / 3, (2 * e0.b + e1.b + 1) / 3};
        palette[3] = {(e0.r + 2 * e1.r + 1) / 3, (e0.g + 2 * e1.g + 1) / 3, (e0.b + 2 * e1.b + 1) / 3};
    }

    uint32_t indices = 0;
    for (int k = 0; k < 16; ++k) {
        uint32_t index = 3;
        if (!(transparent && texels[4 * k + 3] < 128)) {
            int32_t nearest = ColourDistance(colours[k], palette[0]);
            index = 0;
            for (int p = 1; p < paletteSize; ++p) {
                const int32_t distance = ColourDistance(colours[k], palette[p]);
                if (distance < nearest) {
                    nearest = distance;
                    index = static_cast<uint32_t>(p);
                }
            }
        }
        indices |= index << (2 * k);
    }
    StoreU16(out, colour0);
    StoreU16(out + 2, colour1);
    StoreU32(out + 4, indices);
}

// `fourColours` forces the four-colour palette (DXT3); otherwise the endpoint order decides.
void DecodeColourBlock(const uint8_t block[8], bool fourColours, uint8_t texels[64]) {
    const uint16_t colour0 = LoadU16(block), colour1 = LoadU16(block + 2);
    const uint32_t indices = LoadU32(block + 4);
    const Rgb e0 = ExpandRgb(colour0), e1 = ExpandRgb(colour1);
    std::array<Rgb, 4> palette{e0, e1, {}, {}};
    std::array<uint8_t, 4> alpha{255, 255, 255, 255};
    palette[3] = {(e0.r + 2 * e1.r + 1) / 3, (e0.g + 2 * e1.g + 1) / 3, (e0.b + 2 * e1.b + 1) / 3};
    if (fourColours || colour1 < colour0) {
        palette[2] = {(2 * e0.r + e1.r + 1) / 3, (2 * e0.g + e1.g + 1) / 3, (2 * e0.b + e1.b + 1) / 3};
    } else {
        palette[2] = {(e0.r + e1.r) >> 1, (e0.g + e1.g) >> 1, (e0.b + e1.b) >> 1};
        alpha[3] = 0;
    }
    for (int k = 0; k < 16; ++k) {
        const uint32_t index = (indices >> (2 * k)) & 3;
        uint8_t* texel = texels + 4 * k;
        texel[0] = static_cast<uint8_t>(palette[index].b);
        texel[1] = static_cast<uint8_t>(palette[index].g);
        texel[2] = static_cast<uint8_t>(palette[index].r);
        texel[3] = alpha[index];
    }
}

int32_t BlockBytesOf(TexelFormat format, const char* operation) {
    if (format == TexelFormat::DXT1) return 8;
    if (format == TexelFormat::DXT3) return 16;
    throw EImagingError(std::string(operation) + ": format \"" + GetFormatInfo(format).Name +
                        "\" is not a block format.");
}

void RequireBuffer(std::size_t have, int64_t need, const char* operation, const char* which) {
    if (static_cast<uint64_t>(need) > have)
        throw EImagingError(std::string(operation) + ": the " + which + " holds " + std::to_string(have) +
                            " bytes but " + std::to_string(need) + " are needed.");
}

} // namespace

uint16_t PackColour565(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

void ExpandColour565(uint16_t colour, int32_t rgb[3]) {
    rgb[2] = ((colour >> 11) & 31) * 255 / 31;
    rgb[1] = ((colour >> 5) & 63) * 255 / 63;
    rgb[0] = (colour & 31) * 255 / 31;
}

void EncodeBlockDxt1(const uint8_t texels[64], uint8_t block[8]) {
    EncodeColourBlock(texels, true, block);
}

void EncodeBlockDxt3(const uint8_t texels[64], uint8_t block[16]) {
    for (int i = 0; i < 8; ++i)
        block[i] = static_cast<uint8_t>((texels[4 * (2 * i) + 3] >> 4) | (texels[4 * (2 * i + 1) + 3] & 0xF0));
    EncodeColourBlock(texels, false, block + 8);
}

void DecodeBlockDxt1(const uint8_t block[8], uint8_t texels[64]) {
    DecodeColourBlock(block, false, texels);
}

void DecodeBlockDxt3(const uint8_t block[16], uint8_t texels[64]) {
    DecodeColourBlock(block + 8, true, texels);
    for (int k = 0; k < 16; ++k) {
        const uint8_t nibble = (k % 2 == 0) ? (block[k / 2] & 0x0F) : (block[k / 2] >> 4);
        texels[4 * k + 3] = static_cast<uint8_t>(nibble * 17);
    }
}

void EncodeBlocks(std::span<const uint8_t> source, std::span<uint8_t> destination, int32_t width, int32_t height,
                  TexelFormat format) {
    const char* operation = "Block encoding";
    const int32_t blockBytes = BlockBytesOf(format, operation);
    if (width < 0 || height < 0) throw EImagingError("Block encoding: negative image size.");
    const int64_t blocksAcross = width / 4, blocksDown = height / 4;
    RequireBuffer(source.size(), int64_t{width} * height * 4, operation, "source");
    RequireBuffer(destination.size(), blocksAcross * blocksDown * blockBytes, operation, "destination");

    uint8_t texels[64];
    uint8_t* out = destination.data();
    for (int64_t by = 0; by < blocksDown; ++by)
        for (int64_t bx = 0; bx < blocksAcross; ++bx) {
            for (int row = 0; row < 4; ++row) {
                const uint8_t* from = source.data() + ((by * 4 + row) * width + bx * 4) * 4;
                std::copy_n(from, 16, texels + 16 * row);
            }
            if (format == TexelFormat::DXT1)
                EncodeBlockDxt1(texels, out);
            else
                EncodeBlockDxt3(texels, out);
            out += blockBytes;
        }
}

void DecodeBlocks(std::span<const uint8_t> source, std::span<uint8_t> destination, int32_t width, int32_t height,
                  TexelFormat format) {
    const char* operation = "Block decoding";
    const int32_t blockBytes = BlockBytesOf(format, operation);
    if (width < 0 || height < 0) throw EImagingError("Block decoding: negative image size.");
    const int64_t blocksAcross = (int64_t{width} + 3) / 4, blocksDown = (int64_t{height} + 3) / 4;
    RequireBuffer(source.size(), blocksAcross * blocksDown * blockBytes, operation, "source");
    RequireBuffer(destination.size(), int64_t{width} * height * 4, operation, "destination");

    uint8_t texels[64];
    const uint8_t* in = source.data();
    for (int64_t by = 0; by < blocksDown; ++by)
        for (int64_t bx = 0; bx < blocksAcross; ++bx) {
            if (format == TexelFormat::DXT1)
                DecodeBlockDxt1(in, texels);
            else
                DecodeBlockDxt3(in, texels);
            in += blockBytes;
            // Edge blocks of a size that is not a multiple of 4 are cut to the image.
            for (int64_t row = 0; row < 4 && by * 4 + row < height; ++row) {
                const int64_t columns = std::min<int64_t>(4, width - bx * 4);
                uint8_t* to = destination.data() + ((by * 4 + row) * width + bx * 4) * 4;
                std::copy_n(texels + 16 * row, columns * 4, to);
            }
        }
}

} // namespace veldrin
