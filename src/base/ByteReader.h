#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veldrin {

// Bounds-checked little-endian reads over untrusted bytes. Every read names what it reads,
// so a failure reads like "world resource: row table entry 12 lies outside the data".
class ByteReader {
public:
    ByteReader(std::span<const uint8_t> bytes, std::string what) : bytes_(bytes), what_(std::move(what)) {}

    std::size_t size() const { return bytes_.size(); }
    std::span<const uint8_t> bytes() const { return bytes_; }
    const std::string& what() const { return what_; }

    // True when [offset, offset + length) lies inside the data (64-bit arithmetic, no wrap-round).
    bool contains(int64_t offset, int64_t length) const {
        return offset >= 0 && length >= 0 && static_cast<uint64_t>(offset) + static_cast<uint64_t>(length) <= bytes_.size();
    }
    // Throws VeldrinError naming `field` when the range is outside the data.
    void require(int64_t offset, int64_t length, std::string_view field) const;

    uint8_t u8(int64_t offset, std::string_view field = "value") const;
    uint16_t u16(int64_t offset, std::string_view field = "value") const;
    uint32_t u32(int64_t offset, std::string_view field = "value") const;
    int16_t i16(int64_t offset, std::string_view field = "value") const { return static_cast<int16_t>(u16(offset, field)); }
    int32_t i32(int64_t offset, std::string_view field = "value") const { return static_cast<int32_t>(u32(offset, field)); }
    float f32(int64_t offset, std::string_view field = "value") const;
    std::span<const uint8_t> slice(int64_t offset, int64_t length, std::string_view field = "data") const;

private:
    std::span<const uint8_t> bytes_;
    std::string what_;
};

// Unchecked little-endian helpers for callers that have already checked the range.
inline uint16_t loadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t loadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace veldrin
