// The format table and the size rules that every operation checks an image against.
#include <array>
#include <cstdint>

#include "imaging/Imaging.h"

namespace veldrin {

namespace {

constexpr TexelFormatInfo kUnknownFormat{TexelFormat::Unknown, "Unknown and unsupported format", 0, 0, false, false, 0,
                                         TexelFormat::Unknown};

constexpr std::array<TexelFormatInfo, 4> kFormatTable{{
    {TexelFormat::Index8, "Index8", 1, 256, true, false, 0, TexelFormat::Unknown},
    {TexelFormat::A8R8G8B8, "A8R8G8B8", 4, 0, false, false, 0, TexelFormat::Unknown},
    {TexelFormat::DXT1, "DXT1", 0, 0, false, true, 8, TexelFormat::A8R8G8B8},
    {TexelFormat::DXT3, "DXT3", 0, 0, false, true, 16, TexelFormat::A8R8G8B8},
}};

} // namespace

const TexelFormatInfo& formatInfo(TexelFormat format) {
    for (const TexelFormatInfo& info : kFormatTable)
        if (info.format == format) return info;
    return kUnknownFormat;
}

int64_t imageBytesFor(TexelFormat format, int32_t width, int32_t height) {
    const TexelFormatInfo& info = formatInfo(format);
    if (info.format == TexelFormat::Unknown || width <= 0 || height <= 0) return -1;
    if (info.isBlockFormat) {
        const int64_t blocksAcross = (static_cast<int64_t>(width) + 3) / 4;
        const int64_t blocksDown = (static_cast<int64_t>(height) + 3) / 4;
        return blocksAcross * blocksDown * info.blockBytes;
    }
    const int64_t texels = static_cast<int64_t>(width) * height;
    if (texels > INT64_MAX / info.bytesPerPixel) return -1;
    return texels * info.bytesPerPixel;
}

bool isImageValid(const ImageData& image) {
    const TexelFormatInfo& info = formatInfo(image.format);
    if (info.format == TexelFormat::Unknown) return false;
    // Block images are always whole blocks (createImage rounds up), which the block operations rely on.
    if (info.isBlockFormat && (image.width % 4 != 0 || image.height % 4 != 0)) return false;
    const int64_t size = imageBytesFor(image.format, image.width, image.height);
    return size > 0 && image.texelBytes == size && image.texels.size() == static_cast<uint64_t>(size) &&
           image.palette.size() == static_cast<std::size_t>(info.paletteEntries) * 4;
}

std::string describeImage(const ImageData& image) {
    std::string text = "(Width=" + std::to_string(image.width) + " Height=" + std::to_string(image.height) +
                       " Format=" + formatInfo(image.format).name + " Size=" + std::to_string(image.texelBytes) +
                       " Bits=" + std::to_string(image.texels.size()) + " bytes";
    text += image.palette.empty() ? " Palette=none)" : " Palette=" + std::to_string(image.palette.size() / 4) + " entries)";
    return text;
}

} // namespace veldrin
