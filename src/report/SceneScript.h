#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ByteSink.h"
#include "base/UnclearedBytes.h"
#include "report/TextureSheet.h"
#include "scene/Scene.h"

namespace veldrin {

// A dictionary's texture sheet as the 3D view uses it: an atlas whose cells hold the textures at 1:1.
struct SceneAtlas {
    std::string dictionary;
    int width = 0, height = 0;
    std::vector<uint8_t> png; // the sheet's PNG file
    std::vector<SheetCell> cells;
};

// The scene's vertices, triangles, models and placements packed into the typed arrays of scene.js,
// compressed: the part of the script that does not depend on the atlases, and most of its work.
struct PackedScene {
    std::vector<std::string> modelNames, dictionaries, materialNames;
    std::string arrays; // the arrays' index (name, offset, length) as JSON
    std::size_t arrayBytes = 0, models = 0, placements = 0, vertices = 0, triangles = 0;
    int indexBytes = 2;
    CompressedBytes data; // the arrays as one zlib stream
};
PackedScene packScene(const Scene& scene);

// scene.js: one classic script that sets window.veldrinScene, so a page opened from disk can load it
// (docs/SCENE.md describes the layout). Textures are found in the atlases by dictionary and name. Of
// the scene, only its level name and textures are read: its models may be gone once packed. The
// arrays are written first; `atlasesWhenMade` is called after them, and may wait for the atlases.
void writeSceneScript(ByteSink& out, const Scene& scene, const PackedScene& packed,
                      const std::function<const std::vector<SceneAtlas>&()>& atlasesWhenMade);

} // namespace veldrin
