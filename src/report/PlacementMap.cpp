#include "report/PlacementMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include <nlohmann/json.hpp>

#include "internal/PixelFont.h"

namespace veldrin {
namespace {

using Colour = std::array<uint8_t, 4>;
constexpr Colour kPaper{255, 255, 255, 255}, kPlot{246, 246, 242, 255}, kInk{40, 40, 40, 255},
    kGrid{222, 222, 216, 255}, kZone{40, 150, 60, 255};

Colour kindColour(PlacementKind kind) {
    switch (kind) {
    case PlacementKind::Model: return {30, 100, 200, 255};
    case PlacementKind::Lod: return {235, 130, 20, 255};
    case PlacementKind::MegaLod: return {140, 50, 170, 255};
    }
    return kInk;
}

bool finite(const MapPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(const MapZone& z) {
    return std::isfinite(z.minX) && std::isfinite(z.minY) && std::isfinite(z.maxX) && std::isfinite(z.maxY);
}

// A step of 1, 2 or 5 times a power of ten giving about six ticks over the span.
double tickStep(double span) {
    const double raw = span / 6;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * magnitude) return m * magnitude;
    return 10 * magnitude;
}

std::string tickLabel(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::fabs(value) < 1e-9 ? 0.0 : value);
    return text;
}

void fillRect(RgbaImage& image, int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(0, y0); y <= std::min(image.height - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(image.width - 1, x1); ++x) image.set(x, y, c);
}

} // namespace

PlacementMap renderPlacementMap(const std::vector<MapPoint>& points, const std::vector<MapZone>& zones, int size) {
    double lo[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    double hi[2] = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    auto include = [&](double x, double y) {
        lo[0] = std::min(lo[0], x), lo[1] = std::min(lo[1], y), hi[0] = std::max(hi[0], x), hi[1] = std::max(hi[1], y);
    };
    for (const MapPoint& p : points)
        if (finite(p)) include(p.x, p.y);
    for (const MapZone& z : zones)
        if (finite(z)) include(z.minX, z.minY), include(z.maxX, z.maxY);
    if (lo[0] > hi[0]) lo[0] = lo[1] = -100, hi[0] = hi[1] = 100;

    PlacementMap map;
    const double half = std::max({hi[0] - lo[0], hi[1] - lo[1], 1.0}) / 2 * 1.05;
    const double cx = (lo[0] + hi[0]) / 2, cy = (lo[1] + hi[1]) / 2;
    map.minX = cx - half, map.maxX = cx + half, map.minY = cy - half, map.maxY = cy + half;

    // The plot is a square with room for the numbers on the left and below.
    const int left = 64, top = 16, side = size - left - 16;
    map.image = RgbaImage(size, size);
    fillRect(map.image, 0, 0, size - 1, size - 1, kPaper);
    fillRect(map.image, left, top, left + side - 1, top + side - 1, kPlot);
    const double pixelsPerUnit = side / (2 * half);
    auto px = [&](double x) { return left + static_cast<int>(std::floor((x - map.minX) * pixelsPerUnit)); };
    auto py = [&](double y) { return top + side - 1 - static_cast<int>(std::floor((y - map.minY) * pixelsPerUnit)); };

    const double step = tickStep(2 * half);
    for (double t = std::ceil(map.minX / step) * step; t <= map.maxX; t += step) {
        const int x = px(t);
        fillRect(map.image, x, top, x, top + side - 1, kGrid);
        fillRect(map.image, x, top + side, x, top + side + 5, kInk);
        const std::string label = tickLabel(t);
        drawText(map.image, x - textWidth(label, 2) / 2, top + side + 9, label, 2, kInk);
    }
    for (double t = std::ceil(map.minY / step) * step; t <= map.maxY; t += step) {
        const int y = py(t);
        fillRect(map.image, left, y, left + side - 1, y, kGrid);
        fillRect(map.image, left - 6, y, left - 1, y, kInk);
        const std::string label = tickLabel(t);
        drawText(map.image, left - 9 - textWidth(label, 2), y - kGlyphHeight, label, 2, kInk);
    }

    for (const MapZone& z : zones) {
        if (!finite(z)) continue;
        const int x0 = px(std::min(z.minX, z.maxX)), x1 = px(std::max(z.minX, z.maxX));
        const int y0 = py(std::max(z.minY, z.maxY)), y1 = py(std::min(z.minY, z.maxY));
        fillRect(map.image, x0, y0, x1, y0 + 1, kZone);
        fillRect(map.image, x0, y1 - 1, x1, y1, kZone);
        fillRect(map.image, x0, y0, x0 + 1, y1, kZone);
        fillRect(map.image, x1 - 1, y0, x1, y1, kZone);
    }
    map.pixels.assign(points.size(), {-1, -1});
    for (std::size_t i = 0; i < points.size(); ++i)
        if (finite(points[i])) map.pixels[i] = {px(points[i].x), py(points[i].y)};
    // The larger kinds first, so the models they stand in for stay visible on top.
    for (PlacementKind kind : {PlacementKind::MegaLod, PlacementKind::Lod, PlacementKind::Model}) {
        for (const MapPoint& p : points) {
            if (p.kind != kind || !finite(p)) continue;
            const int x = px(p.x), y = py(p.y);
            fillRect(map.image, x - 1, y - 1, x + 1, y + 1, kindColour(kind));
            ++map.points;
        }
    }
    // The frame last, over anything that touches the edge.
    fillRect(map.image, left - 1, top - 1, left + side, top - 1, kInk);
    fillRect(map.image, left - 1, top + side, left + side, top + side, kInk);
    fillRect(map.image, left - 1, top - 1, left - 1, top + side, kInk);
    fillRect(map.image, left + side, top - 1, left + side, top + side, kInk);
    return map;
}

std::string mapJson(const PlacementMap& map, const std::vector<MapPoint>& points) {
    int byKind[3] = {0, 0, 0};
    for (const MapPoint& p : points)
        if (finite(p)) ++byKind[static_cast<int>(p.kind)];
    const nlohmann::ordered_json j{{"min_x", map.minX}, {"min_y", map.minY}, {"max_x", map.maxX}, {"max_y", map.maxY},
                                   {"points", map.points}, {"models", byKind[0]}, {"lods", byKind[1]},
                                   {"megalods", byKind[2]}};
    return j.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace veldrin
