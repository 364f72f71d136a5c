#pragma once
#include <cstdint>
#include <vector>

#include "base/Editions.h"

namespace veldrin::test {

// One source vertex as the consoles store it: raw i16 position, u8 texture coordinates (128 = 1.0 before
// the material's scale), 5:5:5 colour (red in the low bits).
struct TestVertex {
    int16_t x, y, z;
    uint8_t u, v;
    uint16_t colour;
};

// One material record with its triangle strip.
struct TestMaterial {
    int16_t textureId;
    float uScale = 1.0f, vScale = 1.0f; // stored as half floats: pick values a half float holds exactly
    std::vector<TestVertex> strip;
};

struct TestModelPart {
    std::vector<TestMaterial> materials;
    bool lcsPspWideRecords = false; // LCS PSP only: 24-byte material records instead of 10
};

// Largest vertex count the encoder puts in one PS2 batch; longer strips are split over several batches.
inline constexpr int kTestPs2BatchVertices = 48;

// Bytes of one geometry part in the edition's layout (header, material records, vertex data). Offsets inside
// are relative to the part start, so the bytes can be placed anywhere in a level. Throws std::length_error
// when a material does not fit the edition's size fields.
std::vector<uint8_t> encodeModelPart(GameVersion edition, const TestModelPart& part);

// Size in bytes of one PS2 vertex batch of n vertices, padding included.
int64_t ps2BatchSize(int64_t n);

// Half-float bits of a float (round to nearest even); used for the records' texture scales.
uint16_t floatToHalfBits(float value);

} // namespace veldrin::test
