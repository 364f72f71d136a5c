#pragma once
// Conversions between the texel formats, as whole new images.
#include "imaging/Imaging.h"

namespace veldrin {

// An "A8R8G8B8" copy of a valid image: palette entries looked up, blocks decoded, or a plain copy.
ImageData toArgb(const ImageData& image);
// A "DXT1" or "DXT3" image of a valid "Index8" or "A8R8G8B8" image. A size that is not a multiple
// of 4 is first stretched (nearest texel) to the next multiples of 4.
ImageData toBlocks(const ImageData& image, TexelFormat blockFormat, DxtQuality quality);

} // namespace veldrin
