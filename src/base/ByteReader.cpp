#include "base/ByteReader.h"

#include <bit>

#include "base/Error.h"

namespace veldrin {

void ByteReader::require(int64_t offset, int64_t length, std::string_view field) const {
    if (!contains(offset, length)) {
        throw VeldrinError(what_ + ": " + std::string(field) + " at offset " + std::to_string(offset) + " (" + std::to_string(length) +
                           " bytes) lies outside the data (" + std::to_string(bytes_.size()) + " bytes)");
    }
}

uint8_t ByteReader::u8(int64_t offset, std::string_view field) const {
    require(offset, 1, field);
    return bytes_[static_cast<std::size_t>(offset)];
}

uint16_t ByteReader::u16(int64_t offset, std::string_view field) const {
    require(offset, 2, field);
    return loadU16(bytes_.data() + offset);
}

uint32_t ByteReader::u32(int64_t offset, std::string_view field) const {
    require(offset, 4, field);
    return loadU32(bytes_.data() + offset);
}

float ByteReader::f32(int64_t offset, std::string_view field) const { return std::bit_cast<float>(u32(offset, field)); }

std::span<const uint8_t> ByteReader::slice(int64_t offset, int64_t length, std::string_view field) const {
    require(offset, length, field);
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

} // namespace veldrin
