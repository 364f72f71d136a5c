#pragma once
// Inflating one whole zlib stream held in memory (the LVZ's world resource, GAME.DTZ).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace veldrin {

// The most a stream may inflate to: the world resource and the game data address their contents by
// 32-bit offsets, so anything larger is not one of them (and would only exhaust memory).
inline constexpr std::size_t kMaxInflatedSize = 0xFFFFFFFFu;

// Inflated bytes in the room the inflater chose for them: the first `size` bytes are the stream's.
struct InflatedBytes {
    std::unique_ptr<uint8_t[]> data;
    std::size_t size = 0;

    std::span<const uint8_t> bytes() const { return {data.get(), size}; }
};

// Inflates one whole zlib stream; bytes after its end are ignored. `what` names the input in messages
// ("The LVZ file", "GAME.DTZ"). Safe for untrusted input: a stream that is not zlib data, that ends
// before its end marker or that inflates past `maxSize` bytes is refused with VeldrinError.
InflatedBytes inflateWhole(std::span<const uint8_t> input, const std::string& what,
                           std::size_t maxSize = kMaxInflatedSize);

// The same, as a vector of its own (one copy more).
std::vector<uint8_t> inflateStream(std::span<const uint8_t> input, const std::string& what,
                                   std::size_t maxSize = kMaxInflatedSize);

} // namespace veldrin
