#include "level/Rotation.h"

#include <bit>
#include <cmath>

namespace veldrin {

float unpackFloat(uint32_t word) { return std::bit_cast<float>((word & 0x00FFFFFFu) << 8); }

namespace {
// Every "stored" value of the decoding is rounded to a single before later steps use it.
float stored(double v) { return static_cast<float>(v); }
} // namespace

DecodedMatrix decodeMatrix(const std::array<float, 9>& m) {
    DecodedMatrix out{};
    float r[3][3];
    for (int row = 0; row < 3; ++row) {
        const double a = m[row * 3], b = m[row * 3 + 1], c = m[row * 3 + 2];
        float s = stored(std::sqrt(a * a + b * b + c * c));
        if (s == 0.0f) s = 1.0f;
        out.scale[row] = s;
        for (int col = 0; col < 3; ++col) r[row][col] = stored(static_cast<double>(m[row * 3 + col]) / s);
    }
    const float t = stored(static_cast<double>(r[0][0]) + r[1][1] + r[2][2]);
    double x, y, z, w;
    if (t > 0) {
        const float k = stored(0.5 / std::sqrt(static_cast<double>(t) + 1.0));
        w = 0.25 / k;
        x = (static_cast<double>(r[2][1]) - r[1][2]) * k;
        y = (static_cast<double>(r[0][2]) - r[2][0]) * k;
        z = (static_cast<double>(r[1][0]) - r[0][1]) * k;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const float k = stored(2.0 * std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]));
        w = (static_cast<double>(r[2][1]) - r[1][2]) / k;
        x = 0.25 * k;
        y = (static_cast<double>(r[0][1]) + r[1][0]) / k;
        z = (static_cast<double>(r[0][2]) + r[2][0]) / k;
    } else if (r[1][1] > r[2][2]) {
        const float k = stored(2.0 * std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]));
        w = (static_cast<double>(r[0][2]) - r[2][0]) / k;
        x = (static_cast<double>(r[0][1]) + r[1][0]) / k;
        y = 0.25 * k;
        z = (static_cast<double>(r[1][2]) + r[2][1]) / k;
    } else {
        // Negative on purpose: the quaternion comes out negated, which is the same rotation.
        const float k = stored(-2.0 * std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]));
        w = (static_cast<double>(r[1][0]) - r[0][1]) / k;
        x = (static_cast<double>(r[0][2]) + r[2][0]) / k;
        y = (static_cast<double>(r[1][2]) + r[2][1]) / k;
        z = 0.25 * k;
    }
    out.rotation = {stored(x), stored(y), stored(z), stored(w)};
    return out;
}

} // namespace veldrin
