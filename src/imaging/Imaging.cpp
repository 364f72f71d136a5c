// Creation of image records.
#include <limits>
#include <utility>

#include "imaging/Imaging.h"
#include "imaging/ImagingErrors.h"

namespace veldrin {

ImageData createImage(int32_t width, int32_t height, TexelFormat format) {
    const TexelFormatInfo& info = formatInfo(format);
    const auto fail = [&] { return EImagingError(createImageFailedMessage(width, height, format)); };
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
    created.Size = imageBytesFor(format, created.Width, created.Height);
    if (created.Size <= 0 || static_cast<uint64_t>(created.Size) > created.Bits.max_size()) throw fail();
    runGuarded(
        [&] {
            created.Bits.assign(static_cast<std::size_t>(created.Size), 0);
            created.Palette.assign(static_cast<std::size_t>(info.PaletteEntries) * 4, 0);
        },
        [&] { return createImageFailedMessage(width, height, format); });
    return created;
}

} // namespace veldrin
