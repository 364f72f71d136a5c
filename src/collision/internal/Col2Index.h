#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin {

inline constexpr uint32_t kCol2Magic = 0x636F6C32; // "2loc"
inline constexpr int64_t kCol2IndexStart = 32;     // the index table follows a 32-byte header
inline constexpr int64_t kCol2IndexEntrySize = 8;

// True when a COL2 file ("2loc") starts at `offset` of the stream.
bool startsCol2(std::span<const uint8_t> stream, int64_t offset);

struct Col2IndexEntry {
    int64_t position = 0;     // place in the table, from 0
    int32_t modelIndex = 0;   // never -1, which ends the table
    int64_t headerOffset = 0; // the model header: the file's start plus the entry's offset
};

// The index table of the COL2 file starting at `base`, up to the entry whose model index is -1.
// The file ends at `end` (the next file's start, or the end of the stream when end is -1); a table
// that reaches it before that entry is refused with VeldrinError naming `what`.
// Safe for untrusted input: reads only [base, end), entries checked one by one, and allocates at most
// one entry for every 8 bytes it reads.
std::vector<Col2IndexEntry> readCol2Index(std::span<const uint8_t> stream, int64_t base, const std::string& what,
                                          int64_t end = -1);

} // namespace veldrin
