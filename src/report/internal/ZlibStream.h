#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace veldrin {

// One zlib stream (RFC 1950) written piece by piece: igzip's fast level (ISA-L), which on the report's
// texture sheets compresses three times as fast as libdeflate's fastest level and a little smaller
// (bench/report_bench.cpp). The same pieces always give the same stream; cut differently, the same
// bytes may compress to other (equally valid) bytes, so callers cut by size alone, never by thread count.
class ZlibWriter {
public:
    explicit ZlibWriter(std::vector<uint8_t>& out);
    ~ZlibWriter();
    ZlibWriter(const ZlibWriter&) = delete;
    ZlibWriter& operator=(const ZlibWriter&) = delete;

    // Appends the pieces' compressed bytes to `out`; the last piece ends the stream. Throws a
    // VeldrinError when the compressor fails.
    void add(std::span<const uint8_t> bytes, bool last);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::vector<uint8_t>& out_;
};

// The bytes as one zlib stream.
std::vector<uint8_t> zlibStream(std::span<const uint8_t> bytes);

} // namespace veldrin
