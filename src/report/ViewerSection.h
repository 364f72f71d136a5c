#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "report/SceneScript.h"
#include "scene/Scene.h"

namespace veldrin {

// Writes the 3D view's files into the report folder: scene.js (the level) and viewer.js (the drawing
// code, built into the program), and returns the page's section that loads them.
std::string writeViewerFiles(const std::filesystem::path& folder, const Scene& scene, const std::vector<SceneAtlas>& atlases);

// The viewer's code: web/viewer/*.js joined at build time.
extern const char kViewerScript[];

} // namespace veldrin
