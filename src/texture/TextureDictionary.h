#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/ByteSink.h"
#include "base/Editions.h"
#include "imaging/Imaging.h"
#include "texture/MipMapRule.h"

namespace veldrin {

// Where one texture lives in the level buffer: the resource table's Position (its raster record)
// and Base (the point its data offsets count from), both absolute.
struct TextureRef {
    int resourceIndex;
    int64_t position;
    int64_t base;
};

struct TxdParams {
    TargetGame target;
    GameVersion edition;
    std::string texturePrefix;
    bool genMipMaps = false;
    MipMapThreshold mipSizeThreshold = MipMapThreshold::All; // which textures get mip-maps
    DxtQuality dxtQuality = DxtQuality::Exact; // how DXT1 and DXT3 blocks are encoded
    int jobs = 1;            // threads; the output does not depend on it
};

// A native takes at most about eleven bytes for each byte of the raster it comes from (4-bit texels
// become 32-bit ones, mip-maps added), so a dictionary asking for more than this many bytes per byte of
// the level (plus the allowance) shows the same raster records under many ids.
inline constexpr int64_t kTxdBytesPerLevelByte = 16;
inline constexpr int64_t kTxdAllowance = 16 << 20;

// One whole texture dictionary (the bytes of the .TXD), textures in the given order, each named
// texturePrefix + its resource index, written to `out` texture by texture. Throws VeldrinError for
// data outside the level, unusable raster headers, names over 31 characters or a dictionary past the
// chunk size limit (2 GB) or past kTxdBytesPerLevelByte; a VeldrinError of the image core passes through.
// Safe for untrusted input: a raster record that textures name in close succession (8 a thread apart
// or less) is decoded once, a dictionary is refused as soon as a record's showings would take it past
// either limit, and memory holds the textures encoded ahead of the writing, not the dictionary.
void writeTxd(std::span<const uint8_t> level, std::span<const TextureRef> textures, const TxdParams& params,
              ByteSink& out);

// The same, collected in memory.
std::vector<uint8_t> makeTxd(std::span<const uint8_t> level, std::span<const TextureRef> textures, const TxdParams& params);

} // namespace veldrin
