#pragma once
// Reads the report's PNG files back with libpng's own reader, independent of the writer's code path.
#include <png.h>

#include <stdexcept>
#include <vector>

#include "base/FileIO.h"
#include "report/RgbaImage.h"

namespace veldrin::test {

inline RgbaImage readPng(const std::vector<uint8_t>& bytes) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) throw std::runtime_error(png.message);
    png.format = PNG_FORMAT_RGBA;
    RgbaImage image(static_cast<int>(png.width), static_cast<int>(png.height));
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) throw std::runtime_error(png.message);
    return image;
}

inline RgbaImage readPngFile(const std::filesystem::path& path) { return readPng(readWholeFile(path)); }

} // namespace veldrin::test
