#include "model/Prelight.h"

#include <algorithm>
#include <cmath>

namespace veldrin {

namespace {

// Nearest integer, halves to even, whatever the floating-point rounding mode.
double roundHalfEven(double x) {
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest < 0.5) return down;
    if (rest > 0.5) return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

int clampLevel(int minimum) { return std::clamp(minimum, 0, 255); }

float liftScale(int minimum) { return static_cast<float>((255 - minimum) / 255.0); }

uint8_t liftChannel(uint8_t channel, float scale, int minimum) {
    return static_cast<uint8_t>(roundHalfEven(channel * static_cast<double>(scale)) + minimum);
}

Rgba lift(Rgba c, float scale, int minimum) {
    return {liftChannel(c[0], scale, minimum), liftChannel(c[1], scale, minimum), liftChannel(c[2], scale, minimum),
            255};
}

} // namespace

Rgba decodeVertexColour(uint16_t colour) {
    return {static_cast<uint8_t>((colour & 0x1F) * 8), static_cast<uint8_t>(((colour >> 5) & 0x1F) * 8),
            static_cast<uint8_t>(((colour >> 10) & 0x1F) * 8), 255};
}

Rgba liftColour(Rgba colour, int minimum) {
    minimum = clampLevel(minimum);
    return lift(colour, liftScale(minimum), minimum);
}

VertexColours computeVertexColours(const std::vector<ModelVertex>& vertices, bool nightPrelit, int dayMinimum,
                                   int nightMinimum) {
    VertexColours out;
    out.prelit.reserve(vertices.size());
    if (!nightPrelit) {
        for (const ModelVertex& v : vertices) out.prelit.push_back(decodeVertexColour(v.colour));
        return out;
    }
    dayMinimum = clampLevel(dayMinimum);
    nightMinimum = clampLevel(nightMinimum);
    const float dayScale = liftScale(dayMinimum), nightScale = liftScale(nightMinimum);
    out.night.reserve(vertices.size());
    for (const ModelVertex& v : vertices) {
        const Rgba c = decodeVertexColour(v.colour);
        out.prelit.push_back(lift(c, dayScale, dayMinimum));
        out.night.push_back(lift(c, nightScale, nightMinimum));
    }
    return out;
}

} // namespace veldrin
