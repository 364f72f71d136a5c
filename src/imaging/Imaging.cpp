// Creation of image records.
#include <limits>
#include <utility>

#include "imaging/Imaging.h"
#include "internal/ImagingErrors.h"

namespace veldrin {

ImageData createImage(int32_t width, int32_t height, TexelFormat format) {
    const TexelFormatInfo& info = formatInfo(format);
    const auto fail = [&] { return VeldrinError(createImageFailedMessage(width, height, format)); };
    if (info.format == TexelFormat::Unknown || width <= 0 || height <= 0) throw fail();

    int64_t roundedWidth = width;
    int64_t roundedHeight = height;
    if (info.isBlockFormat) {
        roundedWidth = (roundedWidth + 3) / 4 * 4;
        roundedHeight = (roundedHeight + 3) / 4 * 4;
        if (roundedWidth > std::numeric_limits<int32_t>::max() || roundedHeight > std::numeric_limits<int32_t>::max())
            throw fail();
    }
    ImageData created;
    created.width = static_cast<int32_t>(roundedWidth);
    created.height = static_cast<int32_t>(roundedHeight);
    created.format = format;
    created.texelBytes = imageBytesFor(format, created.width, created.height);
    if (created.texelBytes <= 0 || static_cast<uint64_t>(created.texelBytes) > created.texels.max_size()) throw fail();
    runGuarded(
        [&] {
            created.texels.assign(static_cast<std::size_t>(created.texelBytes), 0);
            created.palette.assign(static_cast<std::size_t>(info.paletteEntries) * 4, 0);
        },
        [&] { return createImageFailedMessage(width, height, format); });
    return created;
}

} // namespace veldrin
