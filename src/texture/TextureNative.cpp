#include "internal/TextureNative.h"

#include <algorithm>
#include <limits>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "pcout/RwChunk.h"
#include "texture/MipMapRule.h"

namespace veldrin {
namespace {

constexpr std::size_t kNameFieldSize = 32;
constexpr int64_t kPaletteBytes = 256 * 4;

// Fields of the native header that depend on the target and the texture's kind.
struct NativeLayout {
    uint32_t platform, filter, rasterFormat, alphaWord;
    uint8_t depth, flags;
};

NativeLayout layoutFor(TargetGame target, bool hasAlpha, bool mipMapped) {
    NativeLayout l{};
    l.platform = target == TargetGame::GtaSa ? 9 : 8;
    switch (target) {
    case TargetGame::Gta3:
        l.filter = 0x1101;
        l.rasterFormat = hasAlpha ? 0x0500 : 0x2600;
        l.alphaWord = hasAlpha ? 1 : 0;
        l.depth = hasAlpha ? 32 : 8;
        l.flags = 0;
        break;
    case TargetGame::GtaVc:
        l.filter = 0x1102;
        l.rasterFormat = hasAlpha ? 0x0300 : 0x0100;
        l.alphaWord = hasAlpha ? 1 : 0;
        l.depth = 16;
        l.flags = hasAlpha ? 3 : 1;
        break;
    case TargetGame::GtaSa:
        l.filter = 0x1102;
        l.rasterFormat = hasAlpha ? 0x0300 : 0x0100;
        l.alphaWord = hasAlpha ? 0x33545844 : 0x31545844; // "DXT3", "DXT1"
        l.depth = 16;
        l.flags = hasAlpha ? 9 : 8;
        break;
    }
    if (mipMapped) {
        l.filter = 0x1106;
        l.rasterFormat |= 0x8000;
    }
    return l;
}

void writeName(ByteWriter& out, const std::string& name) {
    const std::size_t n = std::min(name.size(), kNameFieldSize);
    out.text(std::string_view(name).substr(0, n));
    out.zeros(kNameFieldSize - n);
}

uint32_t chunkSize(int64_t size) {
    if (size > std::numeric_limits<int32_t>::max()) {
        throw VeldrinError("A texture is too large for a texture dictionary (" + std::to_string(size) + " bytes)");
    }
    return static_cast<uint32_t>(size);
}

} // namespace

EncodedRaster encodeRaster(DecodedTexture texture, const NativeOptions& options) {
    ImageData& image = texture.image;
    const bool hasAlpha = texture.hasAlpha;
    const TargetGame target = options.target;

    MipChain levels;
    bool mipMapped = false;
    if (target != TargetGame::Gta3) {
        image = convertFormat(image, hasAlpha ? TexelFormat::DXT3 : TexelFormat::DXT1, options.dxtQuality);
        mipMapped = wantsMipMaps(options.genMipMaps, target, options.sizeThreshold, image.width);
    }
    if (mipMapped) {
        levels = buildMipChain(image, 0, SamplingFilter::Triangle, options.dxtQuality);
    } else {
        levels.push_back(std::move(image));
    }
    const ImageData& top = levels.front();

    int64_t rasterBytes = 0;
    if (target == TargetGame::Gta3 && !hasAlpha) rasterBytes += kPaletteBytes;
    for (const ImageData& level : levels) rasterBytes += 4 + level.texelBytes;
    const int64_t structSize = kTextureNativeHeaderSize + rasterBytes;
    const int64_t nativeSize = int64_t(kChunkHeaderSize) + structSize + int64_t(kChunkHeaderSize);

    const NativeLayout layout = layoutFor(target, hasAlpha, mipMapped);
    const uint32_t stamp = versionStamp(target);
    EncodedRaster raster;
    raster.hasAlpha = hasAlpha;
    ByteWriter head(raster.head);
    writeChunkHeader(head, chunk::TextureNative, chunkSize(nativeSize), stamp);
    writeChunkHeader(head, chunk::Struct, chunkSize(structSize), stamp);
    head.u32(layout.platform);
    head.u32(layout.filter);

    raster.tail.reserve(static_cast<std::size_t>(int64_t(kChunkHeaderSize) + nativeSize - static_cast<int64_t>(raster.head.size()) -
                                                 2 * static_cast<int64_t>(kNameFieldSize)));
    ByteWriter out(raster.tail);
    out.u32(layout.rasterFormat);
    out.u32(layout.alphaWord);
    out.u16(static_cast<uint16_t>(top.width));
    out.u16(static_cast<uint16_t>(top.height));
    out.u8(layout.depth);
    out.u8(static_cast<uint8_t>(levels.size()));
    out.u8(4); // raster type: texture
    out.u8(layout.flags);

    if (target == TargetGame::Gta3 && !hasAlpha) out.bytes(top.palette);
    for (const ImageData& level : levels) {
        out.u32(static_cast<uint32_t>(level.texelBytes));
        out.bytes(level.texels);
    }
    writeChunkHeader(out, chunk::Extension, 0, stamp);
    return raster;
}

void writeTextureNative(ByteSink& out, const EncodedRaster& raster, const std::string& name) {
    std::vector<uint8_t> names;
    ByteWriter w(names);
    writeName(w, name);
    writeName(w, raster.hasAlpha ? name + "a" : std::string());
    out.write(raster.head);
    out.write(names);
    out.write(raster.tail);
}

} // namespace veldrin
