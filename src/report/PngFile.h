#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "report/RgbaImage.h"

namespace veldrin {

// The bytes of a PNG file holding the image as 8-bit RGBA, compressed for speed over size on `jobs`
// threads. The same image always gives the same bytes, for any `jobs`. Throws VeldrinError for an
// empty image or when encoding fails.
std::vector<uint8_t> encodePng(const RgbaImage& image, int jobs = 1);

// Fills rows [first, last) of a picture, `width` * 4 bytes each, into `rows` (cleared beforehand).
using DrawBand = std::function<void(int first, int last, uint8_t* rows)>;

// The same for a picture too large to hold whole at once, drawn in bands of rows: `bandEnds` are the
// rows after each band, rising to `height`. Bands may be drawn together, never split. The bytes depend
// on the picture and its bands, not on `jobs`.
std::vector<uint8_t> encodePngInBands(int width, int height, const std::vector<int>& bandEnds, const DrawBand& draw, int jobs = 1);

} // namespace veldrin
