#include "texture/SourceTexture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "texture/Palette.h"
#include "texture/SwizzlingPS2.h"
#include "texture/SwizzlingPSP.h"
#include "texture/TexelOps.h"
#include "texture/TextureParameters.h"

namespace veldrin {
namespace {

struct RasterRecord {
    int64_t dataPosition = 0; // absolute position of the level-0 texels
    TextureParameters params;
};

// Level-0 texels after the console order has been undone: palette indices packed at `depth` bits,
// the first texel of a byte in its high nibble, rows `strideBits` apart.
struct PlainTexels {
    std::vector<uint8_t> bytes;
    int64_t strideBits = 0;
    bool bottomRowFirst = false;
};

std::string textureLabel(const TextureRef& ref) { return "texture " + std::to_string(ref.resourceIndex); }

RasterRecord readRasterRecord(const ByteReader& level, const TextureRef& ref, GameVersion edition) {
    RasterRecord record;
    if (isPs2(edition)) {
        // VCS puts eight bytes of its own in front of the record.
        const int64_t at = ref.position + (edition == GameVersion::VcsPs2 ? 8 : 0);
        const uint32_t offset = level.u32(at, "raster data offset");
        const auto h = level.slice(at + 4, 4, "raster header");
        record.params = GetTextureParametersPS2(h[0], h[1], h[2], h[3]);
        record.dataPosition = ref.base + offset;
    } else {
        const auto h = level.slice(ref.position, 4, "raster header");
        int32_t offset = level.i32(ref.position + 4, "raster data offset");
        // PSP texel data sits on 16-byte boundaries; the low bits of the offset carry other flags.
        if (offset > 0 && offset % 16 != 0) offset &= ~15;
        record.params = GetTextureParametersPSP(h[0], h[1], h[2], h[3]);
        record.dataPosition = ref.base + offset;
    }
    return record;
}

void checkUsable(const TextureParameters& p, const TextureRef& ref) {
    if (p.Depth != 4 && p.Depth != 8) {
        throw VeldrinError(textureLabel(ref) + ": unsupported texel depth of " + std::to_string(p.Depth) +
                           " bits (4 or 8 expected)");
    }
    if (!p.fitsDictionary()) {
        throw VeldrinError(textureLabel(ref) + ": size 2^" + std::to_string(p.WidthLog2) + " x 2^" +
                           std::to_string(p.HeightLog2) + " texels is larger than a texture dictionary holds (" +
                           std::to_string(1 << TextureParameters::kMaxSideLog2) + " per side)");
    }
}

PlainTexels readPs2Texels(const ByteReader& level, const RasterRecord& record) {
    const TextureParameters& p = record.params;
    const int64_t width = p.width(), height = p.height();
    const int64_t bytes = (width * height * p.Depth + 7) / 8;
    const auto source = level.slice(record.dataPosition, bytes, "texel data");

    PlainTexels plain;
    plain.bytes.resize(static_cast<std::size_t>(bytes));
    plain.strideBits = width * p.Depth;
    if (p.Swizzled != 0) {
        UnswizzlePS2(source, plain.bytes, p.Depth, static_cast<int>(width), static_cast<int>(height));
    } else if (p.Depth == 4) {
        SwapHalfBytes(source, plain.bytes, plain.bytes.size());
    } else {
        std::copy(source.begin(), source.end(), plain.bytes.begin());
    }
    return plain;
}

PlainTexels readPspTexels(const ByteReader& level, const RasterRecord& record) {
    const TextureParameters& p = record.params;
    const int64_t width = p.width(), height = p.height();
    PlainTexels plain;
    if (width * p.Depth < 128) {
        // Rows narrower than one 16-byte block are stored one per 16 bytes, in plain order.
        const auto source = level.slice(record.dataPosition, height * 16, "texel data");
        const int64_t rowBytes = (width * p.Depth + 7) / 8;
        std::vector<uint8_t> cut(static_cast<std::size_t>(rowBytes * height));
        CutTexture(source, cut, static_cast<int>(width), static_cast<int>(height), p.Depth);
        plain.strideBits = rowBytes * 8;
        if (p.Depth == 4) {
            plain.bytes.resize(cut.size());
            SwapHalfBytes(cut, plain.bytes, cut.size());
        } else {
            plain.bytes = std::move(cut);
        }
    } else {
        const int64_t bytes = width * height * p.Depth / 8;
        const auto source = level.slice(record.dataPosition, bytes, "texel data");
        plain.bytes.resize(static_cast<std::size_t>(bytes));
        UnswizzlePSP(source, plain.bytes, p.Depth, static_cast<int>(width), static_cast<int>(height));
        plain.strideBits = width * p.Depth;
        plain.bottomRowFirst = true;
    }
    return plain;
}

uint8_t texelAt(const std::vector<uint8_t>& bytes, int64_t bit, int32_t depth) {
    const uint8_t byte = bytes[static_cast<std::size_t>(bit / 8)];
    if (depth == 8) return byte;
    return (bit % 8 == 0) ? static_cast<uint8_t>(byte >> 4) : static_cast<uint8_t>(byte & 0x0F);
}

// The "Index8" image a bitmap of these texels and this palette would read as, turned upright: the
// palette's four bytes per entry are kept as they are, so the source's red lands in the image's
// blue channel until the channels are exchanged.
ImageData buildIndexedImage(const PlainTexels& plain, std::span<const uint8_t> palette, int32_t depth, int32_t width,
                            int32_t height) {
    ImageData image;
    CreateImage(width, height, TexelFormat::Index8, image);
    std::copy(palette.begin(), palette.end(), image.Palette.begin());
    for (int64_t y = 0; y < height; ++y) {
        const int64_t row = plain.bottomRowFirst ? height - 1 - y : y;
        uint8_t* out = image.Bits.data() + y * width;
        for (int64_t x = 0; x < width; ++x) out[x] = texelAt(plain.bytes, row * plain.strideBits + x * depth, depth);
    }
    return image;
}

} // namespace

DecodedTexture decodeSourceTexture(std::span<const uint8_t> levelBytes, const TextureRef& ref, GameVersion edition,
                                   TargetGame target) {
    const ByteReader level(levelBytes, textureLabel(ref));
    const RasterRecord record = readRasterRecord(level, ref, edition);
    const TextureParameters& p = record.params;
    checkUsable(p, ref);

    const PlainTexels plain = isPs2(edition) ? readPs2Texels(level, record) : readPspTexels(level, record);

    const auto sourcePalette = level.slice(record.dataPosition + p.PaletteOffset, p.PaletteSize, "palette");
    std::vector<uint8_t> palette(sourcePalette.size());
    DecodedTexture decoded;
    decoded.HasAlpha = convertPaletteAlpha(sourcePalette, palette, edition, p.PaletteSize);
    // Only the PS2 stores 256-entry palettes in its block order; PSP palettes are linear.
    if (p.Depth == 8 && isPs2(edition)) UnswizzleClut(palette);

    const auto width = static_cast<int32_t>(p.width());
    const auto height = static_cast<int32_t>(p.height());
    ImageData& image = decoded.Image;
    image = buildIndexedImage(plain, palette, p.Depth, width, height);

    // PC games want at least 4 x 4 texels; indexed images stretch by repeating texels.
    if (image.Width < 4) ScaleImage(image, 4, image.Height, SamplingFilter::CatmullRom);
    if (image.Height < 4) ScaleImage(image, image.Width, 4, SamplingFilter::CatmullRom);

    if (decoded.HasAlpha) ChangeFormat(image, TexelFormat::A8R8G8B8);
    if (decoded.HasAlpha || target != TargetGame::Gta3) ExchangeChannels(image, 2, 0);
    return decoded;
}

} // namespace veldrin
