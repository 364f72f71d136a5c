#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "report/SceneScript.h"
#include "scene/Scene.h"

namespace veldrin {

// Writes the 3D view's files into the report folder: scene.js (the level; see writeSceneScript for
// when the atlases are asked for) and viewer.js (the drawing code, built into the program).
void writeViewerFiles(const std::filesystem::path& folder, const Scene& scene, const PackedScene& packed,
                      const std::function<const std::vector<SceneAtlas>&()>& atlasesWhenMade);
// The page's section that shows the view and loads its files.
std::string viewerSection();

// The viewer's code: web/viewer/*.js joined at build time.
extern const char kViewerScript[];

} // namespace veldrin
