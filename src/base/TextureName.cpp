#include "base/TextureName.h"

#include "base/Error.h"

namespace veldrin {

std::string textureName(const std::string& prefix, int textureId) { return prefix + std::to_string(textureId); }

void requireTextureNameLength(const std::string& name) {
    if (name.size() > kMaxTextureNameLength) {
        throw VeldrinError("Texture name \"" + name + "\" is longer than " + std::to_string(kMaxTextureNameLength) +
                           " characters; choose a shorter texture prefix (--texture-prefix)");
    }
}

} // namespace veldrin
