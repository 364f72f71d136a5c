#include "texture/MipMapRule.h"

#include "base/TextUtil.h"

namespace veldrin {

std::string_view mipMapThresholdName(MipMapThreshold threshold) {
    switch (threshold) {
    case MipMapThreshold::All: return "all";
    case MipMapThreshold::Over16: return "16";
    case MipMapThreshold::Over32: return "32";
    case MipMapThreshold::Over64: return "64";
    case MipMapThreshold::Over128: return "128";
    }
    return "all";
}

std::optional<MipMapThreshold> parseMipMapThreshold(std::string_view word) {
    const std::string lower = toLower(std::string(word));
    for (MipMapThreshold t : kMipMapThresholds) {
        if (mipMapThresholdName(t) == lower) return t;
    }
    return std::nullopt;
}

bool wantsMipMaps(bool genMipMaps, TargetGame target, MipMapThreshold threshold, int width) {
    return genMipMaps && target != TargetGame::Gta3 && width > static_cast<int>(threshold);
}

} // namespace veldrin
