#include "app/run/SceneModelOf.h"

#include <algorithm>

namespace veldrin {

SceneModel sceneModelOf(DffModel&& written) {
    SceneModel s;
    s.name = std::move(written.name);
    s.positions = std::move(written.positions);
    s.uvs = std::move(written.coordinates);
    s.day = std::move(written.colours.prelit);
    if (written.nightColours) s.night = std::move(written.colours.night);
    s.triangles.reserve(written.triangles.size());
    s.triangleMaterial.reserve(written.triangles.size());
    for (const MeshTriangle& t : written.triangles) {
        // The file holds a, b, material, c, whose first two the game reads the other way round: the
        // view draws the winding the game draws.
        s.triangles.push_back({t.b, t.a, t.c});
        s.triangleMaterial.push_back(static_cast<uint16_t>(t.material));
    }
    s.materialNames = std::move(written.materialNames);
    s.materialTexture.assign(s.materialNames.size(), -1);
    if (!s.positions.empty()) {
        s.boundsMin = s.boundsMax = s.positions.front();
        for (const auto& p : s.positions)
            for (std::size_t a = 0; a < 3; ++a) {
                s.boundsMin[a] = std::min(s.boundsMin[a], p[a]);
                s.boundsMax[a] = std::max(s.boundsMax[a], p[a]);
            }
    }
    return s;
}

} // namespace veldrin
