#pragma once
#include <array>
#include <string>
#include <vector>

#include "report/RgbaImage.h"

namespace veldrin {

enum class PlacementKind { Model, Lod, MegaLod };

// One placement as written: x and y in world units, the map offset already applied.
struct MapPoint {
    double x = 0, y = 0;
    PlacementKind kind = PlacementKind::Model;
    std::string name; // the model placed
};

// A zone of the island filter, drawn as its rectangle seen from above.
struct MapZone {
    std::string name;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct PlacementMap {
    RgbaImage image;
    double minX = 0, minY = 0, maxX = 0, maxY = 0; // the world area the plot covers
    int points = 0;                                // placements drawn
    std::vector<std::array<int, 2>> pixels;        // each point's pixel, in the order given; -1, -1 when not drawn
};

inline constexpr int kMapSize = 800;

// A top-down plot, north up: every point a small square coloured by kind (model blue, LOD orange,
// MegaLOD purple), zones as green outlines, inside a frame with tick marks and their world coordinates
// along the bottom and the left. The covered area is square, holds every point and zone, and has a
// margin round them; with nothing to draw it is -100..100 on both axes.
PlacementMap renderPlacementMap(const std::vector<MapPoint>& points, const std::vector<MapZone>& zones,
                                int size = kMapSize);

// {"min_x", "min_y", "max_x", "max_y", "points", "models", "lods", "megalods"}.
std::string mapJson(const PlacementMap& map, const std::vector<MapPoint>& points);

} // namespace veldrin
