#include "texture/SourceTexture.h"

#include <string>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "internal/Palette.h"
#include "internal/SwizzlingPS2.h"
#include "internal/SwizzlingPSP.h"
#include "internal/TexelOps.h"
#include "texture/TextureParameters.h"

namespace veldrin {
namespace {

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

// Bytes of level-0 texels as the console stores them.
int64_t storedLevel0Bytes(const TextureParameters& p, bool psp) {
    const int64_t width = p.width(), height = p.height();
    if (psp) return pspTexelBytes(p.Depth, static_cast<int>(width), static_cast<int>(height));
    return (width * height * p.Depth + 7) / 8;
}

// Level 0 as one palette index per texel, top row first, into `indices` (width * height bytes).
void readPs2Texels(const ByteReader& level, const RasterRecord& record, std::span<uint8_t> indices) {
    const TextureParameters& p = record.params;
    const int64_t width = p.width(), height = p.height();
    const auto source = level.slice(record.dataPosition, storedLevel0Bytes(p, false), "texel data");
    if (p.Swizzled != 0) {
        unswizzlePs2(source, p.Depth, static_cast<int>(width), static_cast<int>(height), indices);
    } else {
        expandTexels(source, p.Depth, indices);
    }
}

void readPspTexels(const ByteReader& level, const RasterRecord& record, std::span<uint8_t> indices) {
    const TextureParameters& p = record.params;
    const auto width = static_cast<int>(p.width()), height = static_cast<int>(p.height());
    const auto source = level.slice(record.dataPosition, storedLevel0Bytes(p, true), "texel data");
    unswizzlePsp(source, p.Depth, width, height, indices);
}

} // namespace

RasterRecord checkSourceTexture(std::span<const uint8_t> levelBytes, const TextureRef& ref, GameVersion edition) {
    const ByteReader level(levelBytes, textureLabel(ref));
    const RasterRecord record = readRasterRecord(level, ref, edition);
    checkUsable(record.params, ref);
    level.require(record.dataPosition, storedLevel0Bytes(record.params, isPsp(edition)), "texel data");
    level.require(record.dataPosition + record.params.PaletteOffset, record.params.PaletteSize, "palette");
    return record;
}

DecodedTexture decodeSourceTexture(std::span<const uint8_t> levelBytes, const TextureRef& ref, GameVersion edition,
                                   TargetGame target) {
    // Checked before the image is made, so a header naming a large texture over a few bytes costs nothing.
    const RasterRecord record = checkSourceTexture(levelBytes, ref, edition);
    const ByteReader level(levelBytes, textureLabel(ref));
    const TextureParameters& p = record.params;

    DecodedTexture decoded;
    // The "Index8" image a bitmap of these texels and this palette would read as: the palette's four
    // bytes per entry are kept as they are, so the source's red lands in the image's blue channel
    // until the channels are exchanged.
    ImageData& image = decoded.image;
    image = createImage(static_cast<int32_t>(p.width()), static_cast<int32_t>(p.height()), TexelFormat::Index8);
    if (isPs2(edition)) {
        readPs2Texels(level, record, image.texels);
    } else {
        readPspTexels(level, record, image.texels);
    }
    const auto sourcePalette = level.slice(record.dataPosition + p.PaletteOffset, p.PaletteSize, "palette");
    const std::span<uint8_t> palette(image.palette.data(), sourcePalette.size());
    decoded.hasAlpha = convertPaletteAlpha(sourcePalette, palette, edition, p.PaletteSize);
    // Only the PS2 stores 256-entry palettes in its block order; PSP palettes are linear.
    if (p.Depth == 8 && isPs2(edition)) UnswizzleClut(palette);

    // PC games want at least 4 x 4 texels; indexed images stretch by repeating texels.
    if (image.width < 4) image = scaleImage(image, 4, image.height, SamplingFilter::CatmullRom);
    if (image.height < 4) image = scaleImage(image, image.width, 4, SamplingFilter::CatmullRom);

    if (decoded.hasAlpha) image = convertFormat(image, TexelFormat::A8R8G8B8);
    if (decoded.hasAlpha || target != TargetGame::Gta3) image = exchangeChannels(std::move(image), 2, 0);
    return decoded;
}

} // namespace veldrin
