#pragma once
// Reader of Windows bitmaps ("BM") of 4 and 8 bits per pixel, the intermediate form of the
// texture converter. Every size and offset in the headers is checked against the stream.
#include <cstdint>
#include <span>

#include "imaging/Imaging.h"

namespace veldrin {

// False when the bytes do not begin with a bitmap file header; throws EImagingError for a
// bitmap that is truncated, inconsistent or of a kind not read here. On success the image is
// replaced by an "Index8" image, rows top first, whose palette holds the bitmap's entries as
// they are stored (blue, green, red, fourth byte as alpha) and zeros after them.
bool ReadBitmap(std::span<const uint8_t> stream, ImageData& image);

} // namespace veldrin
