#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "model/GeometryDecoder.h"

namespace veldrin {

using Rgba = std::array<uint8_t, 4>;

// A source 5:5:5 colour as 8-bit red, green, blue (each a multiple of 8) and opaque alpha; bit 15 is unused.
Rgba decodeVertexColour(uint16_t colour);

// Lifts a decoded colour linearly from 0..255 onto minimum..255: round(channel * (255 - minimum) / 255) +
// minimum, the scale held as a 32-bit float and halves rounded to even. Alpha stays 255.
Rgba liftColour(Rgba colour, int minimum);

// The colour sets of a DFF, one 4-byte colour per vertex in table order.
struct VertexColours {
    std::vector<Rgba> prelit;
    std::vector<Rgba> night; // empty unless night colours are written
};

// Night colours (and lifted day colours) only when `nightPrelit` is set, which the caller allows for the one
// target that reads them; otherwise the decoded colours as they are.
VertexColours computeVertexColours(const std::vector<ModelVertex>& vertices, bool nightPrelit, int dayMinimum,
                                   int nightMinimum);

} // namespace veldrin
