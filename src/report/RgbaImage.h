#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace veldrin {

// A picture for the run report: 8-bit red, green, blue, alpha per pixel (straight alpha), rows top
// first, no padding. A default image is empty.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // width * height * 4 bytes

    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0) {}

    uint8_t* at(int x, int y) { return pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4; }
    const uint8_t* at(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    }
    void set(int x, int y, std::array<uint8_t, 4> c) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        uint8_t* p = at(x, y);
        p[0] = c[0], p[1] = c[1], p[2] = c[2], p[3] = c[3];
    }
};

} // namespace veldrin
