#pragma once
#include "base/Editions.h"

namespace veldrin {

// Width a texture must exceed to get mip-maps, for the front ends' mip-map choices 0..4
// ("All textures", then greater than 16x16, 32x32, 64x64, 128x128): 0, 17, 33, 65, 129.
// Throws VeldrinError for any other choice.
int mipSizeThresholdOfChoice(int choice);

// Mip-maps are generated only for GTA VC and GTA SA, when switched on, for textures wider than
// the threshold (the height is not looked at).
bool wantsMipMaps(bool genMipMaps, TargetGame target, int sizeThreshold, int width);

} // namespace veldrin
