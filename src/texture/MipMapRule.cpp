#include "texture/MipMapRule.h"

#include <string>

#include "base/Error.h"

namespace veldrin {

int mipSizeThresholdOfChoice(int choice) {
    constexpr int kThresholds[] = {0, 17, 33, 65, 129};
    if (choice < 0 || choice > 4) {
        throw VeldrinError("Mip-map threshold choice " + std::to_string(choice) + " is not one of 0 to 4");
    }
    return kThresholds[choice];
}

bool wantsMipMaps(bool genMipMaps, TargetGame target, int sizeThreshold, int width) {
    return genMipMaps && target != TargetGame::Gta3 && width > sizeThreshold;
}

} // namespace veldrin
