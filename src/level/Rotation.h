#pragma once
#include <array>
#include <cstdint>

namespace veldrin {

// A PSP packed float: the low 24 bits of the word are the top 24 bits of an IEEE single.
float unpackFloat(uint32_t word);

struct DecodedMatrix {
    std::array<float, 3> scale;    // lengths of rows 0, 1, 2 (a zero row gives 1)
    std::array<float, 4> rotation; // quaternion x, y, z, w as the IPL wants it
};

// Splits a 3 x 3 rotation-and-scale matrix (rows as stored) into scale and quaternion.
DecodedMatrix decodeMatrix(const std::array<float, 9>& rows);

} // namespace veldrin
