#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "collision/StoriesColModel.h"

namespace veldrin {

inline constexpr std::size_t kCollHeaderSize = 8; // "COLL" and the size field

// Appends one version-1 "COLL" record holding the model's spheres, boxes, vertices and faces under
// `name`, with the model's bounds as they are. A refused record (name too long, record too large)
// leaves `out` as it was.
void writeCOL(std::vector<uint8_t>& out, const std::string& name, const StoriesColModel& model);

// The record's size field: the bytes after it, 84 + 20 S + 28 B + 12 V + 16 F.
uint64_t collBodySize(const StoriesColModel& model);

// A PC record takes at most about twice the bytes of the Stories model it comes from, so input asking
// for more than this many output bytes per input byte (plus kCollOutputAllowance) names the same
// models over and over; the converters refuse it rather than fill memory and the disk.
inline constexpr int64_t kCollOutputPerInputByte = 16;
inline constexpr int64_t kCollOutputAllowance = 1 << 20;
inline int64_t collOutputBound(int64_t inputBytes) { return kCollOutputPerInputByte * inputBytes + kCollOutputAllowance; }

} // namespace veldrin
