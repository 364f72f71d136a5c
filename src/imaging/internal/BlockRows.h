#pragma once
// Encoders of one row of blocks: `count` blocks side by side whose texels start at `rows` (four
// image rows, `pitch` bytes apart), written one after another to `out` (8 bytes a block for DXT1,
// 16 for DXT3).
#include <cstdint>

namespace veldrin {

// The exact encoder's bytes, computed in vector lanes on the best target the machine runs.
void encodeBlockRowExact(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out);
// The exact encoder one block at a time, in plain C++: the reference the vector targets must match.
void encodeBlockRowScalar(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out);
// Endpoints fitted to each block's colours (DxtQuality::High).
void encodeBlockRowHigh(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out);

} // namespace veldrin
