#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace veldrin {

// SHA-256 of the bytes as 64 lower-case hexadecimal digits (FIPS 180-4).
std::string sha256Hex(std::span<const uint8_t> bytes);

// SHA-256 of bytes that arrive a piece at a time.
class Sha256Stream {
public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(const Sha256Stream&) = delete;
    Sha256Stream& operator=(const Sha256Stream&) = delete;
    void add(std::span<const uint8_t> bytes);
    // Of all the bytes added; ends the stream.
    std::string hex();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// The same of a file's bytes, read a piece at a time (a large archive is never held whole); `size`
// receives how many bytes it held. Throws VeldrinError when it cannot be read.
std::string sha256HexOfFile(const std::filesystem::path& path, uint64_t& size);

} // namespace veldrin
