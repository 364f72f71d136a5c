#include "report/Thumbnail.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veldrin {
namespace {

struct ScreenVertex {
    float x, y, depth;
};

// The view: camera above the model, looking down 30 degrees from the horizon, turned 45 degrees round z.
struct View {
    std::array<float, 3> right, up, forward;

    static View threeQuarter() {
        const float azimuth = 0.78539816f, elevation = 0.52359878f;
        const std::array<float, 3> towardCamera{std::cos(elevation) * std::cos(azimuth),
                                                -std::cos(elevation) * std::sin(azimuth), std::sin(elevation)};
        View v;
        v.forward = {-towardCamera[0], -towardCamera[1], -towardCamera[2]};
        // right = forward x z, normalised; up = right x forward.
        const float rx = v.forward[1], ry = -v.forward[0];
        const float rl = std::sqrt(rx * rx + ry * ry);
        v.right = {rx / rl, ry / rl, 0.0f};
        v.up = {v.right[1] * v.forward[2] - v.right[2] * v.forward[1], v.right[2] * v.forward[0] - v.right[0] * v.forward[2],
                v.right[0] * v.forward[1] - v.right[1] * v.forward[0]};
        return v;
    }
    static float dot(const std::array<float, 3>& a, const std::array<float, 3>& b) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    }
};

std::array<uint8_t, 4> sample(const RgbaImage* texture, float u, float v) {
    if (!texture || texture->width <= 0 || texture->height <= 0) return {255, 255, 255, 255};
    const auto wrap = [](float t, int n) {
        const float f = t - std::floor(t);
        return std::clamp(static_cast<int>(f * static_cast<float>(n)), 0, n - 1);
    };
    const uint8_t* p = texture->at(wrap(u, texture->width), wrap(v, texture->height));
    return {p[0], p[1], p[2], p[3]};
}

uint8_t multiply(uint8_t a, uint8_t b) { return static_cast<uint8_t>((a * b + 127) / 255); }

} // namespace

RgbaImage renderThumbnail(const ThumbnailMesh& mesh, int size) {
    RgbaImage image(size, size);
    const std::size_t n = mesh.positions.size();
    if (n == 0 || mesh.triangles.empty()) return image;

    std::array<float, 3> lo{}, hi{};
    lo.fill(std::numeric_limits<float>::max());
    hi.fill(std::numeric_limits<float>::lowest());
    for (const auto& p : mesh.positions) {
        for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
    }
    const View view = View::threeQuarter();
    float minX = std::numeric_limits<float>::max(), maxX = std::numeric_limits<float>::lowest();
    float minY = minX, maxY = maxX;
    for (int corner = 0; corner < 8; ++corner) {
        const std::array<float, 3> c{(corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1], (corner & 4) ? hi[2] : lo[2]};
        const float x = View::dot(c, view.right), y = View::dot(c, view.up);
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    const float margin = 4.0f;
    const float extent = std::max({maxX - minX, maxY - minY, 1e-6f});
    const float scale = (static_cast<float>(size) - 2 * margin) / extent;
    const float centreX = (minX + maxX) / 2, centreY = (minY + maxY) / 2, half = static_cast<float>(size) / 2;

    std::vector<ScreenVertex> screen(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& p = mesh.positions[i];
        screen[i] = {half + (View::dot(p, view.right) - centreX) * scale, half - (View::dot(p, view.up) - centreY) * scale,
                     View::dot(p, view.forward)};
    }

    std::vector<float> depth(static_cast<std::size_t>(size) * static_cast<std::size_t>(size),
                             std::numeric_limits<float>::max());
    const bool hasCoordinates = mesh.coordinates.size() == n, hasColours = mesh.colours.size() == n;
    for (const ThumbnailMesh::Triangle& t : mesh.triangles) {
        if (t.a >= n || t.b >= n || t.c >= n) continue;
        if (t.texture >= static_cast<int>(mesh.textures.size())) continue;
        const RgbaImage* texture = t.texture >= 0 ? mesh.textures[static_cast<std::size_t>(t.texture)] : nullptr;
        const ScreenVertex &p0 = screen[t.a], &p1 = screen[t.b], &p2 = screen[t.c];
        const float area = (p1.x - p0.x) * (p2.y - p0.y) - (p1.y - p0.y) * (p2.x - p0.x);
        const bool finite = std::isfinite(p0.x) && std::isfinite(p0.y) && std::isfinite(p1.x) && std::isfinite(p1.y) &&
                            std::isfinite(p2.x) && std::isfinite(p2.y) && std::isfinite(area);
        if (!finite || std::fabs(area) < 1e-12f) continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({p0.x, p1.x, p2.x}))));
        const int x1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({p0.x, p1.x, p2.x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({p0.y, p1.y, p2.y}))));
        const int y1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({p0.y, p1.y, p2.y}))));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                // Barycentric weights; either winding is drawn.
                const float w0 = ((p1.x - px) * (p2.y - py) - (p1.y - py) * (p2.x - px)) / area;
                const float w1 = ((p2.x - px) * (p0.y - py) - (p2.y - py) * (p0.x - px)) / area;
                const float w2 = 1.0f - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const float z = w0 * p0.depth + w1 * p1.depth + w2 * p2.depth;
                float& stored = depth[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)];
                if (z >= stored) continue;
                std::array<uint8_t, 4> colour{255, 255, 255, 255};
                if (hasColours) {
                    for (int c = 0; c < 4; ++c) {
                        const float v = w0 * mesh.colours[t.a][c] + w1 * mesh.colours[t.b][c] + w2 * mesh.colours[t.c][c];
                        colour[c] = static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
                    }
                }
                if (texture && hasCoordinates) {
                    const auto& c0 = mesh.coordinates[t.a];
                    const auto& c1 = mesh.coordinates[t.b];
                    const auto& c2 = mesh.coordinates[t.c];
                    const auto texel = sample(texture, w0 * c0[0] + w1 * c1[0] + w2 * c2[0], w0 * c0[1] + w1 * c1[1] + w2 * c2[1]);
                    for (int c = 0; c < 4; ++c) colour[c] = multiply(colour[c], texel[c]);
                }
                if (colour[3] < 16) continue;
                stored = z;
                image.set(x, y, colour);
            }
        }
    }
    return image;
}

} // namespace veldrin
