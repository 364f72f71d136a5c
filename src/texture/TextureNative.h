#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Editions.h"
#include "texture/SourceTexture.h"

namespace veldrin {

// Size of the fixed header at the start of a texture native's struct.
inline constexpr int64_t kTextureNativeHeaderSize = 88;

struct NativeOptions {
    TargetGame target;
    bool genMipMaps = false;
    int sizeThreshold = 0; // width a texture must exceed (mipSizeThresholdOfChoice)
    DxtQuality dxtQuality = DxtQuality::Exact;
};

// One complete texture native chunk (header, struct with the native header and raster data, empty
// extension) for the target game: a 256-colour palette or 32-bit texels for GTA 3, DXT1 or DXT3
// blocks (with generated mip-maps when the rule says so) for GTA VC and GTA SA. `name` is at most
// 31 characters. Pure: depends only on its inputs.
std::vector<uint8_t> makeTextureNative(DecodedTexture texture, const std::string& name, const NativeOptions& options);

} // namespace veldrin
