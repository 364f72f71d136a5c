#pragma once
// Conversions between the texel formats, as whole new images.
#include "imaging/Imaging.h"

namespace veldrin {

// An "A8R8G8B8" copy of a valid image: palette entries looked up, blocks decoded, or a plain copy.
ImageData toArgb(const ImageData& image);
// How an image whose size is not a multiple of 4 is brought to the next multiples of 4 before encoding.
enum class BlockPadding {
    Stretch,     // nearest-texel stretching over the whole padded size (level 0 of a texture)
    RepeatEdges, // the image at the top left, its last column and row repeated: readers show a mip level
                 // smaller than a block as the block's top-left texels
};

// A "DXT1" or "DXT3" image of a valid "Index8" or "A8R8G8B8" image, padded to whole blocks first.
ImageData toBlocks(const ImageData& image, TexelFormat blockFormat, DxtQuality quality,
                   BlockPadding padding = BlockPadding::Stretch);

} // namespace veldrin
