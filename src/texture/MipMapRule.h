#pragma once
#include <array>
#include <optional>
#include <string_view>

#include "base/Editions.h"

namespace veldrin {

// Which textures get mip-maps, as the user chooses it: all, or only those wider than 16, 32, 64 or 128
// texels. The value is that width (0 for all).
enum class MipMapThreshold { All = 0, Over16 = 16, Over32 = 32, Over64 = 64, Over128 = 128 };

// The choices in the order the window's list and the help give them.
inline constexpr std::array<MipMapThreshold, 5> kMipMapThresholds{
    MipMapThreshold::All, MipMapThreshold::Over16, MipMapThreshold::Over32, MipMapThreshold::Over64,
    MipMapThreshold::Over128};

// "all", "16", "32", "64", "128": the command line's and the manifest's words.
std::string_view mipMapThresholdName(MipMapThreshold threshold);
// The choice a word names (as mipMapThresholdName spells it, any case); none for any other word.
std::optional<MipMapThreshold> parseMipMapThreshold(std::string_view word);

// Mip-maps are generated only for GTA VC and GTA SA, when switched on, for textures wider than the
// threshold (the height is not looked at). Texture widths are powers of two, so "wider than 16" is 32
// and more.
bool wantsMipMaps(bool genMipMaps, TargetGame target, MipMapThreshold threshold, int width);

} // namespace veldrin
