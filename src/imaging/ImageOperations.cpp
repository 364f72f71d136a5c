// In-place operations on one image: channel exchange, vertical flip and resizing.
#include <algorithm>
#include <utility>

#include "imaging/FormatConversion.h"
#include "imaging/Imaging.h"
#include "imaging/ImagingErrors.h"
#include "imaging/Resample.h"

namespace veldrin {

namespace {

void ExchangeBytesOfEntries(std::vector<uint8_t>& entries, int32_t a, int32_t b) {
    for (std::size_t i = 0; i + 3 < entries.size(); i += 4) std::swap(entries[i + a], entries[i + b]);
}

// Reverses the four rows inside one block: a DXT1-style colour block keeps row r of its indices
// in byte 4 + r; a DXT3 alpha half keeps row r in bytes 2r and 2r + 1.
void FlipBlockRows(uint8_t* block, TexelFormat format) {
    uint8_t* colour = block;
    if (format == TexelFormat::DXT3) {
        std::swap(block[0], block[6]);
        std::swap(block[1], block[7]);
        std::swap(block[2], block[4]);
        std::swap(block[3], block[5]);
        colour = block + 8;
    }
    std::swap(colour[4], colour[7]);
    std::swap(colour[5], colour[6]);
}

void FlipRowsOfBytes(std::vector<uint8_t>& bits, int64_t rowBytes, int64_t rows) {
    for (int64_t i = 0; i < rows / 2; ++i)
        std::swap_ranges(bits.begin() + i * rowBytes, bits.begin() + (i + 1) * rowBytes,
                         bits.begin() + (rows - 1 - i) * rowBytes);
}

ImageData Resized(const ImageData& image, int32_t width, int32_t height, SamplingFilter filter) {
    const TexelFormatInfo& info = GetFormatInfo(image.Format);
    if (info.IsBlockFormat) {
        // Blocks are resized through their decoded texels and encoded again.
        ImageData plain = Resized(ToArgb(image), width, height, filter);
        return ToBlocks(plain, image.Format);
    }
    ImageData resized;
    CreateImage(width, height, image.Format, resized);
    if (info.IsIndexed || filter == SamplingFilter::Nearest)
        StretchNearest(image, resized);
    else
        ResampleFiltered(image, resized, filter);
    return resized;
}

} // namespace

bool ExchangeChannels(ImageData& image, int32_t channelA, int32_t channelB) {
    if (!IsImageValid(image) || channelA < 0 || channelA > 3 || channelB < 0 || channelB > 3) return false;
    if (channelA == channelB) return true;
    switch (image.Format) {
    case TexelFormat::Index8: ExchangeBytesOfEntries(image.Palette, channelA, channelB); return true;
    case TexelFormat::A8R8G8B8: ExchangeBytesOfEntries(image.Bits, channelA, channelB); return true;
    default: throw EImagingError(ExchangeChannelsFailedMessage(image));
    }
}

bool FlipRows(ImageData& image) {
    if (!IsImageValid(image)) return false;
    const TexelFormatInfo& info = GetFormatInfo(image.Format);
    if (info.IsBlockFormat) {
        const int64_t blockRowBytes = int64_t{image.Width} / 4 * info.BlockBytes;
        FlipRowsOfBytes(image.Bits, blockRowBytes, image.Height / 4);
        for (int64_t offset = 0; offset < image.Size; offset += info.BlockBytes)
            FlipBlockRows(image.Bits.data() + offset, image.Format);
    } else {
        FlipRowsOfBytes(image.Bits, int64_t{image.Width} * info.BytesPerPixel, image.Height);
    }
    return true;
}

bool ScaleImage(ImageData& image, int32_t width, int32_t height, SamplingFilter filter) {
    if (!IsImageValid(image)) return false;
    if (width == image.Width && height == image.Height) return false;
    if (width <= 0 || height <= 0 || filter < SamplingFilter::Nearest || filter > SamplingFilter::CatmullRom)
        throw EImagingError(ScaleImageFailedMessage(image));
    ImageData resized =
        RunGuarded([&] { return Resized(image, width, height, filter); }, [&] { return ScaleImageFailedMessage(image); });
    image = std::move(resized);
    return true;
}

} // namespace veldrin
