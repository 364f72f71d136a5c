#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "base/Editions.h"
#include "report/RgbaImage.h"
#include "report/Thumbnail.h"
#include "texture/TextureDictionary.h"

namespace veldrin {

// Level 0 of a console texture of the level, decoded and upright, as RGBA. Throws VeldrinError as the
// texture converter does for data outside the level or an unusable header.
// Safe for untrusted input: the texels and palette are checked inside the level before the image is made.
RgbaImage decodeLevelTexture(std::span<const uint8_t> level, const TextureRef& ref, GameVersion edition);

// A model's geometry as the model converter builds it (both parts, positions scaled by the placement's
// row lengths, prelight colours as decoded), ready for renderThumbnail. Triangles name their texture
// by its resource id through `textureIds`, one per material, so the caller can attach the images.
struct ModelPreview {
    ThumbnailMesh mesh;
    std::vector<int> textureIds; // mesh triangle texture i is resource textureIds[i]
};
ModelPreview readModelPreview(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                              GameVersion edition, const std::array<float, 3>& scale, const std::string& name);

} // namespace veldrin
