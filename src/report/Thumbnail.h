#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "report/RgbaImage.h"

namespace veldrin {

// What the thumbnail renderer draws: positions in model space (z up), texture coordinates, one RGBA
// colour per vertex, and triangles naming an entry of `textures` (or -1 for none). A null texture
// draws the vertex colour alone.
struct ThumbnailMesh {
    struct Triangle {
        uint32_t a, b, c;
        int texture;
    };
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> coordinates;
    std::vector<std::array<uint8_t, 4>> colours;
    std::vector<Triangle> triangles;
    std::vector<const RgbaImage*> textures;
};

inline constexpr int kThumbnailSize = 128;

// A size x size picture of the mesh seen from a fixed three-quarter view (from above, at 45 degrees
// round the up axis), orthographic, fitted to the mesh's bounding box, with a depth buffer: each pixel
// is the nearest triangle's interpolated vertex colour times its texture (nearest texel, coordinates
// wrapped). Background and texels with alpha below 1/16 stay transparent. Triangles naming a vertex or a
// texture that does not exist are skipped, so a damaged mesh draws what it can.
RgbaImage renderThumbnail(const ThumbnailMesh& mesh, int size = kThumbnailSize);

} // namespace veldrin
