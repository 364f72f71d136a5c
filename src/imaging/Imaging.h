#pragma once
// The image core: the image record, its texel formats, format conversion, resampling, mip-map
// chains and DXT1/DXT3 block compression. Everything the texture converter needs is declared here;
// of the rest of the program the core uses only base's error kind.
//
// Every operation takes its image by const reference or by value and returns a new one, so a failure
// never leaves an image half converted. Operations refuse an invalid image (see isImageValid) and
// every failure inside them with a VeldrinError carrying the operation's message.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Error.h"

namespace veldrin {

enum class TexelFormat : int32_t {
    Unknown = 0, // also "the default format" when asked for a conversion target
    Index8 = 1,
    A8R8G8B8 = 2,
    DXT1 = 3,
    DXT3 = 4,
};

// The format a conversion to TexelFormat::Unknown produces.
inline constexpr TexelFormat kDefaultTexelFormat = TexelFormat::A8R8G8B8;

// Sampling filters of scaleImage and buildMipChain.
enum class SamplingFilter : int32_t {
    Nearest = 0,
    Triangle = 1,   // f(x) = 1 - |x|, radius 1
    CatmullRom = 2, // radius 2
};

// How hard the block encoder works. Exact is the fixed farthest-pair encoder whose bytes the
// converter has always written; High fits the endpoints to each block's colours (lower error,
// other bytes, a few times slower).
enum class DxtQuality : int32_t {
    Exact = 0,
    High = 1,
};

// One row of the format table.
struct TexelFormatInfo {
    TexelFormat format;
    const char* name;            // "Index8", "A8R8G8B8", "DXT1", "DXT3", or "Unknown and unsupported format"
    int32_t bytesPerPixel;       // 0 for block formats
    int32_t paletteEntries;      // 256 for "Index8", else 0
    bool isIndexed;
    bool isBlockFormat;
    int32_t blockBytes;          // bytes per 4 x 4 block: 8 for "DXT1", 16 for "DXT3", else 0
    TexelFormat decompressedFormat; // what a block format decodes to ("A8R8G8B8"), else Unknown
};

// One image. texels holds the texel bytes, rows top first, no padding between rows; palette holds
// 4-byte entries (blue, green, red, alpha) and is empty for formats without a palette.
// The record owns its buffers: copying it copies them. A default record stands for no image.
struct ImageData {
    int32_t width = 0;
    int32_t height = 0;
    TexelFormat format = TexelFormat::Unknown;
    int64_t texelBytes = 0; // the length of texels
    std::vector<uint8_t> texels;
    std::vector<uint8_t> palette;
};

// A mip-map chain, level 0 first.
using MipChain = std::vector<ImageData>;

// ---- Format table (ImagingFormats) ----

// The table row of a format; unknown values get the row named "Unknown and unsupported format".
const TexelFormatInfo& formatInfo(TexelFormat format);
// Bytes of texel data an image of this format and size needs (block formats count whole 4 x 4
// blocks). Returns -1 for an unknown format or a size that is not positive.
int64_t imageBytesFor(TexelFormat format, int32_t width, int32_t height);
// True when the format is known, the size is positive (multiples of 4 for block formats) and
// texelBytes, texels and palette have exactly the lengths the format and size call for.
bool isImageValid(const ImageData& image);
// One-line description of an image for error messages: size, format name and buffer lengths.
std::string describeImage(const ImageData& image);

// ---- Image records (Imaging) ----

// A zero-filled image; block formats round width and height up to multiples of 4. Throws
// VeldrinError when the size is not positive, the format unknown or memory short.
ImageData createImage(int32_t width, int32_t height, TexelFormat format);

// ---- Operations ----

// The image in another format; TexelFormat::Unknown means kDefaultTexelFormat. Block targets are
// encoded with `quality`. Reducing colours to a palette is refused.
ImageData convertFormat(const ImageData& image, TexelFormat format, DxtQuality quality = DxtQuality::Exact);
// Exchanges two channels (0 blue, 1 green, 2 red, 3 alpha): of every texel of an "A8R8G8B8"
// image, of every palette entry of an "Index8" image. Refuses channel numbers outside 0..3.
ImageData exchangeChannels(ImageData image, int32_t channelA, int32_t channelB);
// The image resized to width x height in the same format; indexed images always use nearest
// sampling. The same size gives the image back unchanged.
ImageData scaleImage(const ImageData& image, int32_t width, int32_t height, SamplingFilter filter);
// `levels` images (0 = down to 1 x 1), level 0 a copy of the image, each further level halved
// (never below 1) and resampled from the full-size image with `mipFilter`; block levels are
// encoded with `quality`. A block level narrower or shorter than 4 texels sits at its blocks' top
// left with its last column and row repeated, as readers show only that corner.
MipChain buildMipChain(const ImageData& image, int32_t levels, SamplingFilter mipFilter = SamplingFilter::Triangle,
                       DxtQuality quality = DxtQuality::Exact);

// ---- DXT blocks (Dxt) ----

// Encodes "A8R8G8B8" texels (width x height, rows top first) into "DXT1" or "DXT3" blocks, one
// row of blocks after another. Only whole 4 x 4 blocks are made (a size below 4 gives none);
// throws VeldrinError when the texels are fewer than the size calls for or the format is not a
// block format. The bytes of DxtQuality::Exact do not depend on the machine.
std::vector<uint8_t> encodeBlocks(std::span<const uint8_t> texels, int32_t width, int32_t height, TexelFormat format,
                                  DxtQuality quality = DxtQuality::Exact);
// Decodes "DXT1" or "DXT3" blocks into width x height "A8R8G8B8" texels (edge blocks are cut to
// the size); throws VeldrinError when the blocks are fewer than the size calls for.
std::vector<uint8_t> decodeBlocks(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format);
// The same texels red first (red, green, blue, alpha), written straight into `out`, rows `rowBytes`
// apart (at least width * 4), without a copy of the image between.
void decodeBlocksRedFirst(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format, uint8_t* out,
                          std::size_t rowBytes);

} // namespace veldrin
