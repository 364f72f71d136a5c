#pragma once
#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace veldrin {

// Appends little-endian values to a growing byte vector.
class ByteWriter {
public:
    ByteWriter() = default;
    explicit ByteWriter(std::vector<uint8_t>& target) : out_(&target) {}

    void u8(uint8_t v) { out().push_back(v); }
    // Each value goes in with one append: models write millions of them, byte by byte was a tenth of a run.
    void u16(uint16_t v) {
        const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        append(b);
    }
    void u32(uint32_t v) {
        const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
        append(b);
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    void bytes(std::span<const uint8_t> b) { out().insert(out().end(), b.begin(), b.end()); }
    void text(std::string_view s) { out().insert(out().end(), s.begin(), s.end()); }
    void zeros(std::size_t n) { out().insert(out().end(), n, 0); }
    // Pads with zero bytes up to a multiple of `alignment`.
    void alignTo(std::size_t alignment) {
        while (out().size() % alignment != 0) out().push_back(0);
    }
    // Overwrites a u32 already written at `offset`.
    void patchU32(std::size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) out()[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }

    std::size_t size() const { return out_ ? out_->size() : own_.size(); }
    std::vector<uint8_t>& data() { return out(); }
    std::vector<uint8_t> take() { return std::move(out()); }

private:
    template <std::size_t N>
    void append(const uint8_t (&b)[N]) {
        std::vector<uint8_t>& o = out();
        o.insert(o.end(), b, b + N);
    }
    std::vector<uint8_t>& out() { return out_ ? *out_ : own_; }
    const std::vector<uint8_t>& out() const { return out_ ? *out_ : own_; }
    std::vector<uint8_t> own_;
    std::vector<uint8_t>* out_ = nullptr;
};

} // namespace veldrin
