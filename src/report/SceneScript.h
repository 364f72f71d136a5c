#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "report/TextureSheet.h"
#include "scene/Scene.h"

namespace veldrin {

// A dictionary's texture sheet as the 3D view uses it: an atlas whose cells hold the textures at 1:1.
struct SceneAtlas {
    std::string dictionary;
    int width = 0, height = 0;
    std::vector<uint8_t> png;
    std::vector<SheetCell> cells;
};

// scene.js: one classic script that sets window.veldrinScene, so a page opened from disk can load it
// (docs/SCENE.md describes the layout). Textures are found in the atlases by dictionary and name.
std::string sceneScript(const Scene& scene, const std::vector<SceneAtlas>& atlases);

// Standard base64 with padding.
std::string base64(const void* data, std::size_t bytes);

} // namespace veldrin
