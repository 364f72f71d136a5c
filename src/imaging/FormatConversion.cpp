#include "imaging/FormatConversion.h"

#include <algorithm>
#include <utility>

#include "imaging/ImagingErrors.h"
#include "imaging/Resample.h"

namespace veldrin {

namespace {

ImageData expandPalette(const ImageData& indexed) {
    ImageData argb = createImage(indexed.Width, indexed.Height, TexelFormat::A8R8G8B8);
    uint8_t* out = argb.Bits.data();
    for (const uint8_t index : indexed.Bits) {
        std::copy_n(indexed.Palette.data() + index * 4, 4, out);
        out += 4;
    }
    return argb;
}

ImageData decodeImageBlocks(const ImageData& blocks) {
    ImageData argb = createImage(blocks.Width, blocks.Height, TexelFormat::A8R8G8B8);
    argb.Bits = decodeBlocks(blocks.Bits, blocks.Width, blocks.Height, blocks.Format);
    return argb;
}

int32_t nextMultipleOf4(int32_t size) {
    return static_cast<int32_t>((int64_t{size} + 3) / 4 * 4);
}

} // namespace

ImageData toArgb(const ImageData& image) {
    const TexelFormatInfo& info = formatInfo(image.Format);
    if (info.IsIndexed) return expandPalette(image);
    if (info.IsBlockFormat) return decodeImageBlocks(image);
    return image;
}

ImageData toBlocks(const ImageData& image, TexelFormat blockFormat, DxtQuality quality) {
    ImageData working = toArgb(image);
    const int32_t width = nextMultipleOf4(working.Width), height = nextMultipleOf4(working.Height);
    if (width != working.Width || height != working.Height) working = stretchNearest(working, width, height);
    ImageData blocks = createImage(width, height, blockFormat);
    blocks.Bits = encodeBlocks(working.Bits, width, height, blockFormat, quality);
    return blocks;
}

ImageData convertFormat(const ImageData& image, TexelFormat format, DxtQuality quality) {
    const TexelFormat target = format == TexelFormat::Unknown ? DefaultTexelFormat : format;
    const TexelFormatInfo& targetInfo = formatInfo(target);
    // Reducing colours to a palette is not something this core does.
    if (!isImageValid(image) || targetInfo.Format == TexelFormat::Unknown || targetInfo.IsIndexed)
        throw EImagingError(changeFormatFailedMessage(target, image));
    if (target == image.Format) return image;
    return runGuarded([&] { return targetInfo.IsBlockFormat ? toBlocks(image, target, quality) : toArgb(image); },
                      [&] { return changeFormatFailedMessage(target, image); });
}

} // namespace veldrin
