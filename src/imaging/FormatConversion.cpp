#include "internal/FormatConversion.h"

#include <algorithm>
#include <utility>

#include "internal/ImagingErrors.h"
#include "internal/Resample.h"

namespace veldrin {

namespace {

ImageData expandPalette(const ImageData& indexed) {
    ImageData argb = createImage(indexed.width, indexed.height, TexelFormat::A8R8G8B8);
    uint8_t* out = argb.texels.data();
    for (const uint8_t index : indexed.texels) {
        std::copy_n(indexed.palette.data() + index * 4, 4, out);
        out += 4;
    }
    return argb;
}

ImageData decodeImageBlocks(const ImageData& blocks) {
    ImageData argb = createImage(blocks.width, blocks.height, TexelFormat::A8R8G8B8);
    argb.texels = decodeBlocks(blocks.texels, blocks.width, blocks.height, blocks.format);
    return argb;
}

int32_t nextMultipleOf4(int32_t size) {
    return static_cast<int32_t>((int64_t{size} + 3) / 4 * 4);
}

} // namespace

ImageData toArgb(const ImageData& image) {
    const TexelFormatInfo& info = formatInfo(image.format);
    if (info.isIndexed) return expandPalette(image);
    if (info.isBlockFormat) return decodeImageBlocks(image);
    return image;
}

ImageData toBlocks(const ImageData& image, TexelFormat blockFormat, DxtQuality quality, BlockPadding padding) {
    ImageData working = toArgb(image);
    const int32_t width = nextMultipleOf4(working.width), height = nextMultipleOf4(working.height);
    if (width != working.width || height != working.height) {
        working = padding == BlockPadding::RepeatEdges ? extendEdges(working, width, height)
                                                       : stretchNearest(working, width, height);
    }
    ImageData blocks = createImage(width, height, blockFormat);
    blocks.texels = encodeBlocks(working.texels, width, height, blockFormat, quality);
    return blocks;
}

ImageData convertFormat(const ImageData& image, TexelFormat format, DxtQuality quality) {
    const TexelFormat target = format == TexelFormat::Unknown ? kDefaultTexelFormat : format;
    const TexelFormatInfo& targetInfo = formatInfo(target);
    // Reducing colours to a palette is not something this core does.
    if (!isImageValid(image) || targetInfo.format == TexelFormat::Unknown || targetInfo.isIndexed)
        throw VeldrinError(changeFormatFailedMessage(target, image));
    if (target == image.format) return image;
    return runGuarded([&] { return targetInfo.isBlockFormat ? toBlocks(image, target, quality) : toArgb(image); },
                      [&] { return changeFormatFailedMessage(target, image); });
}

} // namespace veldrin
