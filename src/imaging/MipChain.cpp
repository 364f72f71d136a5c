// Mip-map chains: every level is made from the full-size image, not from the level before it.
#include <algorithm>
#include <utility>

#include "imaging/FormatConversion.h"
#include "imaging/Imaging.h"
#include "imaging/ImagingErrors.h"
#include "imaging/Resample.h"

namespace veldrin {

namespace {

int32_t PossibleLevels(int32_t width, int32_t height) {
    int32_t count = 1;
    while (width != 1 || height != 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ++count;
    }
    return count;
}

TDynImageDataArray MakeChain(const ImageData& image, int32_t levels, SamplingFilter mipFilter) {
    const TexelFormatInfo& info = GetFormatInfo(image.Format);
    // Block images are filtered through their decoded texels and compressed again at the end.
    const ImageData decoded = info.IsBlockFormat ? ToArgb(image) : ImageData{};
    const ImageData& working = info.IsBlockFormat ? decoded : image;
    const bool nearest = mipFilter == SamplingFilter::Nearest || GetFormatInfo(working.Format).IsIndexed;

    TDynImageDataArray chain(static_cast<std::size_t>(levels));
    chain[0] = image;
    int32_t width = image.Width, height = image.Height;
    for (int32_t level = 1; level < levels; ++level) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ImageData& target = chain[static_cast<std::size_t>(level)];
        CreateImage(width, height, working.Format, target);
        if (nearest)
            StretchNearest(working, target);
        else
            ResampleFiltered(working, target, mipFilter);
        if (info.IsBlockFormat) target = ToBlocks(target, image.Format);
    }
    return chain;
}

} // namespace

bool BuildMipChain(const ImageData& image, int32_t levels, TDynImageDataArray& chain, SamplingFilter mipFilter) {
    if (!IsImageValid(image)) return false;
    const int32_t possible = PossibleLevels(image.Width, image.Height);
    if (levels <= 0 || levels > possible) levels = possible;
    if (mipFilter < SamplingFilter::Nearest || mipFilter > SamplingFilter::CatmullRom)
        throw EImagingError(BuildMipChainFailedMessage(levels, image));
    TDynImageDataArray built =
        RunGuarded([&] { return MakeChain(image, levels, mipFilter); },
                   [&] { return BuildMipChainFailedMessage(levels, image); });
    chain = std::move(built);
    return true;
}

} // namespace veldrin
