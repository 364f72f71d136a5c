#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veldrin::fuzz {

// A fuzz input read from the front: option bytes, 32-bit numbers and length-prefixed parts, then the
// rest. Reading past the end gives zeros and empty parts, so every input is a valid one. Every part
// comes back in a heap block of exactly its size, so a read one byte past it lands in the sanitizer's
// red zone instead of on a neighbour.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data, size) {}

    uint8_t byte() { return at_ < data_.size() ? data_[at_++] : 0; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }
    std::vector<uint8_t> part() {
        const std::size_t length = std::min<std::size_t>(u32(), data_.size() - at_);
        return take(length);
    }
    std::vector<uint8_t> rest() { return take(data_.size() - at_); }

private:
    std::vector<uint8_t> take(std::size_t length) {
        std::vector<uint8_t> bytes(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                                   data_.begin() + static_cast<std::ptrdiff_t>(at_ + length));
        at_ += length;
        return bytes;
    }

    std::span<const uint8_t> data_;
    std::size_t at_ = 0;
};

// The writing side, for the seed corpus: the same layout FuzzInput reads.
inline void putByte(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
inline void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void putPart(std::vector<uint8_t>& out, std::span<const uint8_t> part) {
    putU32(out, static_cast<uint32_t>(part.size()));
    out.insert(out.end(), part.begin(), part.end());
}
inline void putRest(std::vector<uint8_t>& out, std::span<const uint8_t> rest) { out.insert(out.end(), rest.begin(), rest.end()); }

} // namespace veldrin::fuzz
