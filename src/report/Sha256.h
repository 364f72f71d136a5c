#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace veldrin {

// SHA-256 of the bytes as 64 lower-case hexadecimal digits (FIPS 180-4).
std::string sha256Hex(std::span<const uint8_t> bytes);

} // namespace veldrin
