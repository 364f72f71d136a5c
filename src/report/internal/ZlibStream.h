#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace veldrin {

// The bytes as one zlib stream (RFC 1950), by libdeflate at `level` (1 fastest to 12 smallest), with
// one compressor per thread and level kept from call to call. The same bytes always give the same
// stream. Returns false when the compressor cannot be made or fails.
bool zlibStream(std::span<const uint8_t> bytes, int level, std::vector<uint8_t>& out);

} // namespace veldrin
