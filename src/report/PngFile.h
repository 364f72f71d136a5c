#pragma once
#include <cstdint>
#include <vector>

#include "report/RgbaImage.h"

namespace veldrin {

// The bytes of a PNG file holding the image as 8-bit RGBA, compressed for speed over size on `jobs`
// threads. The same image always gives the same bytes, for any `jobs`. Throws VeldrinError for an
// empty image or when encoding fails.
std::vector<uint8_t> encodePng(const RgbaImage& image, int jobs = 1);

} // namespace veldrin
