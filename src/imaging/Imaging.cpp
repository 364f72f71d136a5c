// Creation, copying and release of image records, and the entry point of the image readers.
#include <limits>
#include <utility>

#include "imaging/Imaging.h"
#include "imaging/ImagingBitmap.h"
#include "imaging/ImagingErrors.h"

namespace veldrin {

void ClearImage(ImageData& image) {
    image = ImageData{};
}

void CreateImage(int32_t width, int32_t height, TexelFormat format, ImageData& image) {
    const TexelFormatInfo& info = GetFormatInfo(format);
    const auto fail = [&] { return EImagingError(CreateImageFailedMessage(width, height, format)); };
    if (info.Format == TexelFormat::Unknown || width <= 0 || height <= 0) throw fail();

    int64_t roundedWidth = width;
    int64_t roundedHeight = height;
    if (info.IsBlockFormat) {
        roundedWidth = (roundedWidth + 3) / 4 * 4;
        roundedHeight = (roundedHeight + 3) / 4 * 4;
        if (roundedWidth > std::numeric_limits<int32_t>::max() || roundedHeight > std::numeric_limits<int32_t>::max())
            throw fail();
    }
    ImageData created;
    created.Width = static_cast<int32_t>(roundedWidth);
    created.Height = static_cast<int32_t>(roundedHeight);
    created.Format = format;
    created.Size = ImageBytesFor(format, created.Width, created.Height);
    if (created.Size <= 0 || static_cast<uint64_t>(created.Size) > created.Bits.max_size()) throw fail();
    RunGuarded(
        [&] {
            created.Bits.assign(static_cast<std::size_t>(created.Size), 0);
            created.Palette.assign(static_cast<std::size_t>(info.PaletteEntries) * 4, 0);
        },
        [&] { return CreateImageFailedMessage(width, height, format); });
    // Only now does the old content go, so a failed creation leaves the image as it was.
    image = std::move(created);
}

void ReleaseImage(ImageData& image) {
    ClearImage(image);
}

bool CopyImage(const ImageData& source, ImageData& destination) {
    if (!IsImageValid(source)) return false;
    if (&source == &destination) return true;
    ImageData copy = RunGuarded([&] { return source; }, [&] { return CopyImageFailedMessage(source); });
    destination = std::move(copy);
    return true;
}

void ReleaseChain(TDynImageDataArray& chain) {
    chain.clear();
    chain.shrink_to_fit();
}

bool ReadImage(std::span<const uint8_t> stream, ImageData& image) {
    if (stream.empty()) throw EImagingError(kNoStreamDataMessage);
    return ReadBitmap(stream, image);
}

} // namespace veldrin
