// Operations on one image: channel exchange and resizing.
#include <algorithm>
#include <utility>

#include "imaging/Imaging.h"
#include "internal/FormatConversion.h"
#include "internal/ImagingErrors.h"
#include "internal/Resample.h"

namespace veldrin {

namespace {

void exchangeBytesOfEntries(std::vector<uint8_t>& entries, int32_t a, int32_t b) {
    for (std::size_t i = 0; i + 3 < entries.size(); i += 4) std::swap(entries[i + a], entries[i + b]);
}

ImageData resized(const ImageData& image, int32_t width, int32_t height, SamplingFilter filter) {
    const TexelFormatInfo& info = formatInfo(image.format);
    if (info.isBlockFormat) {
        // Blocks are resized through their decoded texels and encoded again.
        return toBlocks(resized(toArgb(image), width, height, filter), image.format, DxtQuality::Exact);
    }
    if (info.isIndexed || filter == SamplingFilter::Nearest) return stretchNearest(image, width, height);
    return resampleFiltered(image, width, height, filter);
}

} // namespace

ImageData exchangeChannels(ImageData image, int32_t channelA, int32_t channelB) {
    if (!isImageValid(image) || channelA < 0 || channelA > 3 || channelB < 0 || channelB > 3)
        throw VeldrinError(exchangeChannelsFailedMessage(image));
    if (channelA == channelB) return image;
    switch (image.format) {
    case TexelFormat::Index8: exchangeBytesOfEntries(image.palette, channelA, channelB); return image;
    case TexelFormat::A8R8G8B8: exchangeBytesOfEntries(image.texels, channelA, channelB); return image;
    default: throw VeldrinError(exchangeChannelsFailedMessage(image));
    }
}

ImageData scaleImage(const ImageData& image, int32_t width, int32_t height, SamplingFilter filter) {
    if (!isImageValid(image) || width <= 0 || height <= 0 || filter < SamplingFilter::Nearest ||
        filter > SamplingFilter::CatmullRom)
        throw VeldrinError(scaleImageFailedMessage(image));
    if (width == image.width && height == image.height) return image;
    return runGuarded([&] { return resized(image, width, height, filter); },
                      [&] { return scaleImageFailedMessage(image); });
}

} // namespace veldrin
