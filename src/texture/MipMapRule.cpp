#include "texture/MipMapRule.h"

#include <string>

#include "base/Error.h"

namespace veldrin {

int mipSizeThreshold(int mipMapThreshold) {
    constexpr int kThresholds[] = {0, 17, 33, 65, 129};
    if (mipMapThreshold < 0 || mipMapThreshold > 4) {
        throw VeldrinError("Mip-map threshold item " + std::to_string(mipMapThreshold) + " is not one of 0 to 4");
    }
    return kThresholds[mipMapThreshold];
}

bool wantsMipMaps(bool genMipMaps, TargetGame target, int sizeThreshold, int width) {
    return genMipMaps && target != TargetGame::Gta3 && width > sizeThreshold;
}

} // namespace veldrin
