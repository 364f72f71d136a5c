// Mip-map chains: every level is made from the full-size image, not from the level before it.
#include <algorithm>
#include <utility>

#include "imaging/Imaging.h"
#include "internal/FormatConversion.h"
#include "internal/ImagingErrors.h"
#include "internal/Resample.h"

namespace veldrin {

namespace {

int32_t possibleLevels(int32_t width, int32_t height) {
    int32_t count = 1;
    while (width != 1 || height != 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ++count;
    }
    return count;
}

MipChain makeChain(const ImageData& image, int32_t levels, SamplingFilter mipFilter, DxtQuality quality) {
    const TexelFormatInfo& info = formatInfo(image.format);
    // Block images are filtered through their decoded texels and compressed again at the end.
    const ImageData decoded = info.isBlockFormat ? toArgb(image) : ImageData{};
    const ImageData& working = info.isBlockFormat ? decoded : image;
    const bool nearest = mipFilter == SamplingFilter::Nearest || formatInfo(working.format).isIndexed;

    MipChain chain;
    chain.reserve(static_cast<std::size_t>(levels));
    chain.push_back(image);
    int32_t width = image.width, height = image.height;
    for (int32_t level = 1; level < levels; ++level) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ImageData made = nearest ? stretchNearest(working, width, height) : resampleFiltered(working, width, height, mipFilter);
        if (info.isBlockFormat) {
            // A level narrower or shorter than a block is read from the block's top left; larger levels
            // keep the stretching level 0 has.
            const BlockPadding padding = width < 4 || height < 4 ? BlockPadding::RepeatEdges : BlockPadding::Stretch;
            made = toBlocks(made, image.format, quality, padding);
        }
        chain.push_back(std::move(made));
    }
    return chain;
}

} // namespace

MipChain buildMipChain(const ImageData& image, int32_t levels, SamplingFilter mipFilter, DxtQuality quality) {
    const int32_t possible = isImageValid(image) ? possibleLevels(image.width, image.height) : 0;
    if (levels <= 0 || levels > possible) levels = possible;
    if (possible == 0 || mipFilter < SamplingFilter::Nearest || mipFilter > SamplingFilter::CatmullRom)
        throw VeldrinError(buildMipChainFailedMessage(levels, image));
    return runGuarded([&] { return makeChain(image, levels, mipFilter, quality); },
                      [&] { return buildMipChainFailedMessage(levels, image); });
}

} // namespace veldrin
