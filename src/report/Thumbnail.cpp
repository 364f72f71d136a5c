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
        const float f = std::isfinite(t) ? t - std::floor(t) : 0.0f; // an infinite coordinate has no place
        return std::clamp(static_cast<int>(f * static_cast<float>(n)), 0, n - 1);
    };
    const uint8_t* p = texture->at(wrap(u, texture->width), wrap(v, texture->height));
    return {p[0], p[1], p[2], p[3]};
}

// a * b / 255, rounded to nearest, without a division.
uint8_t multiply(uint8_t a, uint8_t b) {
    const unsigned x = unsigned(a) * unsigned(b) + 128;
    return static_cast<uint8_t>((x + (x >> 8)) >> 8);
}

// Narrows [lo, hi] to the positions px where a * px + k >= 0.
void clipSpan(float a, float k, float& lo, float& hi) {
    if (a > 0) lo = std::max(lo, -k / a);
    else if (a < 0) hi = std::min(hi, -k / a);
    else if (k < 0) hi = lo - 1;
}

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

    // Two passes: the first finds the nearest triangle of each pixel (testing texel alpha only for
    // textures that have cut-outs), the second colours each covered pixel once, whatever the overdraw.
    struct Plane {
        float a0, b0, c0, a1, b1, c1;
    };
    std::vector<Plane> planes(mesh.triangles.size());
    std::vector<uint8_t> cutOut(mesh.textures.size(), 0);
    for (std::size_t i = 0; i < mesh.textures.size(); ++i) {
        const RgbaImage* texture = mesh.textures[i];
        if (!texture) continue;
        for (std::size_t p = 3; p < texture->pixels.size() && !cutOut[i]; p += 4) cutOut[i] = texture->pixels[p] < 16;
    }
    const bool hasCoordinates = mesh.coordinates.size() == n, hasColours = mesh.colours.size() == n;
    const std::size_t pixels = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    std::vector<float> depth(pixels, std::numeric_limits<float>::max());
    std::vector<int32_t> nearest(pixels, -1);

    auto colourAt = [&](const ThumbnailMesh::Triangle& t, float w0, float w1) {
        const float w2 = 1.0f - w0 - w1;
        std::array<uint8_t, 4> colour{255, 255, 255, 255};
        if (hasColours) {
            for (int c = 0; c < 4; ++c) {
                const float v = w0 * mesh.colours[t.a][c] + w1 * mesh.colours[t.b][c] + w2 * mesh.colours[t.c][c];
                colour[c] = static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
            }
        }
        const RgbaImage* texture = t.texture >= 0 ? mesh.textures[static_cast<std::size_t>(t.texture)] : nullptr;
        if (texture && hasCoordinates) {
            const auto& uv0 = mesh.coordinates[t.a];
            const auto& uv1 = mesh.coordinates[t.b];
            const auto& uv2 = mesh.coordinates[t.c];
            const auto texel = sample(texture, w0 * uv0[0] + w1 * uv1[0] + w2 * uv2[0], w0 * uv0[1] + w1 * uv1[1] + w2 * uv2[1]);
            for (int c = 0; c < 4; ++c) colour[c] = multiply(colour[c], texel[c]);
        }
        return colour;
    };

    // The depth pass needs only whether a texel is cut out, not its colour.
    auto cutOutAt = [&](const ThumbnailMesh::Triangle& t, float w0, float w1) {
        const float w2 = 1.0f - w0 - w1;
        const RgbaImage* texture = t.texture >= 0 ? mesh.textures[static_cast<std::size_t>(t.texture)] : nullptr;
        float alpha = 255.0f;
        if (hasColours) alpha = w0 * mesh.colours[t.a][3] + w1 * mesh.colours[t.b][3] + w2 * mesh.colours[t.c][3];
        if (texture && hasCoordinates) {
            const auto& uv0 = mesh.coordinates[t.a];
            const auto& uv1 = mesh.coordinates[t.b];
            const auto& uv2 = mesh.coordinates[t.c];
            alpha = alpha * sample(texture, w0 * uv0[0] + w1 * uv1[0] + w2 * uv2[0], w0 * uv0[1] + w1 * uv1[1] + w2 * uv2[1])[3] / 255.0f;
        }
        return alpha + 0.5f < 16.0f;
    };

    for (std::size_t index = 0; index < mesh.triangles.size(); ++index) {
        const ThumbnailMesh::Triangle& t = mesh.triangles[index];
        if (t.a >= n || t.b >= n || t.c >= n) continue;
        if (t.texture >= static_cast<int>(mesh.textures.size())) continue;
        const ScreenVertex &p0 = screen[t.a], &p1 = screen[t.b], &p2 = screen[t.c];
        const float area = (p1.x - p0.x) * (p2.y - p0.y) - (p1.y - p0.y) * (p2.x - p0.x);
        const bool finite = std::isfinite(p0.x) && std::isfinite(p0.y) && std::isfinite(p1.x) && std::isfinite(p1.y) &&
                            std::isfinite(p2.x) && std::isfinite(p2.y) && std::isfinite(area);
        if (!finite || std::fabs(area) < 1e-12f) continue;
        const bool alphaTest = t.texture >= 0 ? cutOut[static_cast<std::size_t>(t.texture)] != 0
                                              : hasColours && (mesh.colours[t.a][3] < 255 || mesh.colours[t.b][3] < 255 ||
                                                               mesh.colours[t.c][3] < 255);
        // Clamped to the picture before becoming integers: a far vertex would not fit an int.
        const auto pixel = [size](float v) { return static_cast<int>(std::clamp(v, -1.0f, static_cast<float>(size))); };
        const int x0 = std::max(0, pixel(std::floor(std::min({p0.x, p1.x, p2.x}))));
        const int x1 = std::min(size - 1, pixel(std::ceil(std::max({p0.x, p1.x, p2.x}))));
        const int y0 = std::max(0, pixel(std::floor(std::min({p0.y, p1.y, p2.y}))));
        const int y1 = std::min(size - 1, pixel(std::ceil(std::max({p0.y, p1.y, p2.y}))));
        // The weights are linear in the pixel position: step them along each row. Either winding is drawn.
        Plane& q = planes[index];
        q = {(p1.y - p2.y) / area, (p2.x - p1.x) / area, (p1.x * p2.y - p1.y * p2.x) / area,
             (p2.y - p0.y) / area, (p0.x - p2.x) / area, (p2.x * p0.y - p2.y * p0.x) / area};
        for (int y = y0; y <= y1; ++y) {
            // Only the run of pixels the three weights allow on this row is visited (a pixel either side
            // for rounding; the test below decides).
            const float py = static_cast<float>(y) + 0.5f;
            const float k0 = q.b0 * py + q.c0, k1 = q.b1 * py + q.c1;
            float lo = static_cast<float>(x0), hi = static_cast<float>(x1) + 1.0f;
            clipSpan(q.a0, k0, lo, hi);
            clipSpan(q.a1, k1, lo, hi);
            clipSpan(-q.a0 - q.a1, 1.0f - k0 - k1, lo, hi);
            if (!(lo <= hi)) continue;
            const int first = std::max(x0, static_cast<int>(std::floor(lo - 0.5f)) - 1);
            const int last = std::min(x1, static_cast<int>(std::ceil(hi - 0.5f)) + 1);
            const float px0 = static_cast<float>(first) + 0.5f;
            float w0 = q.a0 * px0 + k0, w1 = q.a1 * px0 + k1;
            for (int x = first; x <= last; ++x, w0 += q.a0, w1 += q.a1) {
                const float w2 = 1.0f - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const float z = w0 * p0.depth + w1 * p1.depth + w2 * p2.depth;
                const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x);
                if (z >= depth[at]) continue;
                if (alphaTest && cutOutAt(t, w0, w1)) continue;
                depth[at] = z;
                nearest[at] = static_cast<int32_t>(index);
            }
        }
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int32_t index = nearest[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)];
            if (index < 0) continue;
            const Plane& q = planes[static_cast<std::size_t>(index)];
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            image.set(x, y, colourAt(mesh.triangles[static_cast<std::size_t>(index)], q.a0 * px + q.b0 * py + q.c0,
                                     q.a1 * px + q.b1 * py + q.c1));
        }
    }
    return image;
}

} // namespace veldrin
