#include "report/PngFile.h"

#include <png.h>

#include <string>

#include "base/Error.h"

namespace veldrin {

std::vector<uint8_t> encodePng(const RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4) {
        throw VeldrinError("Cannot write a PNG of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                           " pixels");
    }
    // The simplified interface reports failures through its record instead of a long jump.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    png.flags = PNG_IMAGE_FLAG_FAST;
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png);
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        const std::string reason = png.message;
        png_image_free(&png);
        throw VeldrinError("Cannot write a PNG: " + reason);
    }
    bytes.resize(size);
    return bytes;
}

} // namespace veldrin
