#pragma once
#include <cstdint>
#include <span>

#include "base/Editions.h"
#include "imaging/Imaging.h"
#include "texture/TextureParameters.h"
#include "texture/TextureDictionary.h"

namespace veldrin {

// One source texture decoded for a target game: upright, at least 4 x 4 texels. Opaque textures
// are "Index8"; textures with alpha are "A8R8G8B8". Red and blue are in PC order (blue first) except
// for an opaque GTA 3 texture, whose palette keeps the source order red, green, blue, alpha, which is
// the order a GTA 3 dictionary stores.
struct DecodedTexture {
    ImageData image;
    bool hasAlpha = false;
};

// What a texture's raster record says and where its level-0 texels start.
struct RasterRecord {
    int64_t dataPosition = 0; // absolute position of the level-0 texels
    TextureParameters params;
};

// The checks of decodeSourceTexture (a usable header, level-0 texels and palette inside the level)
// without decoding a texel: the raster record, or the same VeldrinError.
RasterRecord checkSourceTexture(std::span<const uint8_t> level, const TextureRef& ref, GameVersion edition);

// Reads the raster record at ref.position and level 0 of its texels and palette. Throws VeldrinError
// naming the resource index when the record or its data lie outside the level or the header describes
// no usable texture.
DecodedTexture decodeSourceTexture(std::span<const uint8_t> level, const TextureRef& ref, GameVersion edition,
                                   TargetGame target);

} // namespace veldrin
