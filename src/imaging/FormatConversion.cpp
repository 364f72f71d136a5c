#include "imaging/FormatConversion.h"

#include <algorithm>
#include <utility>

#include "imaging/ImagingErrors.h"
#include "imaging/Resample.h"

namespace veldrin {

namespace {

ImageData ExpandPalette(const ImageData& indexed) {
    ImageData argb;
    CreateImage(indexed.Width, indexed.Height, TexelFormat::A8R8G8B8, argb);
    uint8_t* out = argb.Bits.data();
    for (const uint8_t index : indexed.Bits) {
        std::copy_n(indexed.Palette.data() + index * 4, 4, out);
        out += 4;
    }
    return argb;
}

ImageData DecodeImageBlocks(const ImageData& blocks) {
    ImageData argb;
    CreateImage(blocks.Width, blocks.Height, TexelFormat::A8R8G8B8, argb);
    DecodeBlocks(blocks.Bits, argb.Bits, blocks.Width, blocks.Height, blocks.Format);
    return argb;
}

int32_t NextMultipleOf4(int32_t size) {
    return static_cast<int32_t>((int64_t{size} + 3) / 4 * 4);
}

} // namespace

ImageData ToArgb(const ImageData& image) {
    const TexelFormatInfo& info = GetFormatInfo(image.Format);
    if (info.IsIndexed) return ExpandPalette(image);
    if (info.IsBlockFormat) return DecodeImageBlocks(image);
    return image;
}

ImageData ToBlocks(const ImageData& image, TexelFormat blockFormat) {
    ImageData working = ToArgb(image);
    const int32_t width = NextMultipleOf4(working.Width), height = NextMultipleOf4(working.Height);
    if (width != working.Width || height != working.Height) {
        ImageData padded;
        CreateImage(width, height, TexelFormat::A8R8G8B8, padded);
        StretchNearest(working, padded);
        working = std::move(padded);
    }
    ImageData blocks;
    CreateImage(width, height, blockFormat, blocks);
    EncodeBlocks(working.Bits, blocks.Bits, width, height, blockFormat);
    return blocks;
}

bool ChangeFormat(ImageData& image, TexelFormat format) {
    if (!IsImageValid(image)) return false;
    const TexelFormat target = format == TexelFormat::Unknown ? DefaultTexelFormat : format;
    if (target == image.Format) return true;

    const TexelFormatInfo& targetInfo = GetFormatInfo(target);
    // Reducing colours to a palette is not something this core does.
    if (targetInfo.Format == TexelFormat::Unknown || targetInfo.IsIndexed)
        throw EImagingError(ChangeFormatFailedMessage(target, image));
    ImageData converted = RunGuarded(
        [&] { return targetInfo.IsBlockFormat ? ToBlocks(image, target) : ToArgb(image); },
        [&] { return ChangeFormatFailedMessage(target, image); });
    image = std::move(converted);
    return true;
}

} // namespace veldrin
