#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace veldrin {

// Deflate blocks written piece by piece: igzip's fast level (ISA-L), which on the report's texture
// sheets compresses more than twice as fast as libdeflate's fastest level and a little smaller
// (bench/report_bench.cpp). The same pieces always give the same bytes; cut differently, the same
// input may compress to other (equally valid) bytes, so callers cut by size alone, never by thread count.
class DeflateWriter {
public:
    enum class Wrapper { Zlib, Raw };
    // `history`: up to 32 KiB that came before in the stream, which matches may refer to (Raw only).
    DeflateWriter(std::vector<uint8_t>& out, Wrapper wrapper, std::span<const uint8_t> history = {});
    ~DeflateWriter();
    DeflateWriter(const DeflateWriter&) = delete;
    DeflateWriter& operator=(const DeflateWriter&) = delete;

    // How a piece ends: more to come from this writer; the blocks ended at a byte boundary with no
    // final block, so another writer's blocks may follow; or the stream's end.
    enum class End { More, ByteBoundary, Stream };
    // Appends the piece's compressed bytes to `out`. Throws a VeldrinError when the compressor fails.
    void add(std::span<const uint8_t> bytes, End end);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::vector<uint8_t>& out_;
};

// The bytes as one zlib stream (RFC 1950).
std::vector<uint8_t> zlibStream(std::span<const uint8_t> bytes);

// One piece of a stream compressed on its own: its bytes, and up to the last 32 KiB before it.
struct StreamPiece {
    std::vector<uint8_t> bytes, history;
};

// One zlib stream of `count` pieces made and compressed side by side on `jobs` threads (`piece(i)` is
// called on them): each piece's blocks, primed with its history, end at a byte boundary and follow the
// one before, under one header and one checksum. The bytes depend on the pieces, not on `jobs`.
std::vector<uint8_t> zlibStreamInPieces(std::size_t count, int jobs, const std::function<StreamPiece(std::size_t)>& piece);

} // namespace veldrin
