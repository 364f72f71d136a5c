#pragma once

#include "model/DffModel.h"
#include "scene/Scene.h"

namespace veldrin {

// A converted model as the 3D view and the glTF file show it: the values its DFF holds, in the scene's
// terms (triangles in the winding the game draws, textures unresolved, no id, dictionary or LOD kind).
SceneModel sceneModelOf(DffModel&& written);

} // namespace veldrin
