#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSink.h"
#include "base/Editions.h"
#include "texture/MipMapRule.h"
#include "texture/SourceTexture.h"

namespace veldrin {

// Size of the fixed header at the start of a texture native's struct.
inline constexpr int64_t kTextureNativeHeaderSize = 88;

struct NativeOptions {
    TargetGame target;
    bool genMipMaps = false;
    MipMapThreshold sizeThreshold = MipMapThreshold::All;
    DxtQuality dxtQuality = DxtQuality::Exact;
};

// A texture encoded for the target game: everything of its native chunk but the two name fields, so
// a raster that several textures show is encoded once and written under each name.
struct EncodedRaster {
    std::vector<uint8_t> head; // chunk headers, platform and filter: what comes before the names
    std::vector<uint8_t> tail; // raster header, palette, levels and the empty extension
    bool hasAlpha = false;     // the mask name is the name followed by "a"
    int64_t nativeSize() const { return static_cast<int64_t>(head.size() + tail.size()) + 64; } // + two names
};

// The raster of a texture native chunk for the target game: a 256-colour palette or 32-bit texels for
// GTA 3, DXT1 or DXT3 blocks (with generated mip-maps when the rule says so) for GTA VC and GTA SA.
// Pure: depends only on its inputs.
EncodedRaster encodeRaster(DecodedTexture texture, const NativeOptions& options);

// Writes one complete texture native chunk (header, struct with the native header and raster data,
// empty extension) of the raster under `name`, at most 31 characters.
void writeTextureNative(ByteSink& out, const EncodedRaster& raster, const std::string& name);

} // namespace veldrin
