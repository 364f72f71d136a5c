#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "base/UnclearedBytes.h"

namespace veldrin {

// Compression for the report: igzip's fast level (ISA-L), which on the report's texture sheets
// compresses more than twice as fast as libdeflate's fastest level and a little smaller
// (bench/report_bench.cpp). Cut differently, the same input may compress to other (equally valid)
// bytes, so callers cut by size alone, never by thread count.

// One zlib stream (RFC 1950) compressed as its bytes are added, a megabyte at a time: the whole input
// is never held. The bytes depend only on what is added, in order.
class ZlibWriter {
public:
    ZlibWriter();
    ~ZlibWriter();
    ZlibWriter(const ZlibWriter&) = delete;
    ZlibWriter& operator=(const ZlibWriter&) = delete;

    void add(std::span<const uint8_t> bytes);
    // `count` bytes of `value`.
    void addFill(uint8_t value, std::size_t count);
    // Bytes added so far.
    std::size_t size() const { return added_; }
    // Ends the stream and hands it over; nothing may be added after.
    CompressedBytes finish();

private:
    // Puts `count` bytes into the staged megabyte, compressing each time it fills: put(at, some) stages
    // `some` of them from `at` on.
    template <typename Put>
    void stage(std::size_t count, const Put& put);
    void compressStaged(bool last);
    struct State;
    std::unique_ptr<State> state_;
    std::vector<uint8_t> staged_;
    std::size_t added_ = 0;
    CompressedBytes out_;
};

// One piece of a stream compressed on its own: its bytes, and up to the last 32 KiB before it.
struct StreamPiece {
    std::span<const uint8_t> bytes, history; // valid until the next piece is asked for on the same thread
};

// One piece compressed on its own, with what joining it to the others needs.
struct DeflatedPiece {
    CompressedBytes bytes;      // raw deflate blocks
    uint32_t adler = 1;         // Adler-32 of the piece's input
    std::size_t length = 0;     // bytes of input
};

// `count` pieces made and compressed side by side on `jobs` threads (`piece(i)` is called on them):
// each piece's blocks, primed with its history, end at a byte boundary so the next piece's may follow;
// with `endsStream`, the last piece's end the stream. The bytes depend on the pieces, not on `jobs`.
std::vector<DeflatedPiece> deflatePieces(std::size_t count, int jobs, const std::function<StreamPiece(std::size_t)>& piece,
                                         bool endsStream);

// The pieces, in order, under one zlib header and one checksum (the last piece must end the stream;
// no pieces give an empty stream), as the parts to write one after another without joining them
// first: the header, the pieces, the checksum. `frame` holds the header and the checksum.
std::vector<std::span<const uint8_t>> zlibStreamSpans(const std::vector<DeflatedPiece>& pieces, std::array<uint8_t, 8>& frame);

} // namespace veldrin
