#include "internal/ZlibStream.h"

#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <algorithm>

#include "base/Error.h"
#include "base/ParallelFor.h"

namespace veldrin {

namespace {

enum class Wrapper { Zlib, Raw };
// How the bytes end: at a byte boundary with no final block, so another piece's blocks may follow; or
// the stream's end.
enum class End { ByteBoundary, Stream };

// Appends the bytes as deflate blocks to `out`, by igzip's fast level. `history`: up to 32 KiB that came
// before in the stream, which matches may refer to (Raw only).
void deflateInto(CompressedBytes& out, Wrapper wrapper, std::span<const uint8_t> history, std::span<const uint8_t> bytes,
                 End end) {
    isal_zstream s{};
    // The compressor's working memory, kept by each thread for its next piece: a fresh one per piece
    // costs more in page faults than its piece costs to compress.
    thread_local std::vector<uint8_t> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    isal_deflate_init(&s);
    s.level = 1;
    s.level_buf = levelBuffer.data();
    s.level_buf_size = static_cast<uint32_t>(levelBuffer.size());
    s.gzip_flag = wrapper == Wrapper::Zlib ? IGZIP_ZLIB : IGZIP_DEFLATE;
    if (!history.empty()) {
        history = history.last(std::min<std::size_t>(history.size(), ISAL_DEF_HIST_SIZE));
        if (isal_deflate_set_dict(&s, const_cast<uint8_t*>(history.data()), static_cast<uint32_t>(history.size())) != COMP_OK)
            throw VeldrinError("the compressor refused the history before a piece");
    }
    // The stream's counters are 32-bit: large inputs go in slices.
    constexpr std::size_t kSlice = std::size_t(1) << 30;
    std::size_t at = 0;
    do {
        const std::size_t slice = std::min(kSlice, bytes.size() - at);
        s.next_in = const_cast<uint8_t*>(bytes.data() + at);
        s.avail_in = static_cast<uint32_t>(slice);
        at += slice;
        const bool lastSlice = at == bytes.size();
        s.end_of_stream = end == End::Stream && lastSlice ? 1 : 0;
        s.flush = end == End::ByteBoundary && lastSlice ? SYNC_FLUSH : NO_FLUSH;
        // Room for a quarter of the input at a time, grown while it runs short: the output is rarely
        // larger.
        while (true) {
            const std::size_t used = out.size();
            const std::size_t room = std::min<std::size_t>(std::max<std::size_t>(s.avail_in / 4, 64 * 1024), kSlice);
            out.resize(used + room);
            s.next_out = out.data() + used;
            s.avail_out = static_cast<uint32_t>(room);
            if (isal_deflate(&s) != COMP_OK) throw VeldrinError("the compressor failed");
            const bool roomLeft = s.avail_out > 0;
            out.resize(used + (room - s.avail_out));
            // Done when the input is taken and, for an end, everything it calls for is out.
            const bool finished = s.end_of_stream ? s.internal_state.state == ZSTATE_END
                                                  : s.avail_in == 0 && (s.flush == NO_FLUSH || roomLeft);
            if (finished) break;
        }
    } while (at < bytes.size());
}

} // namespace

CompressedBytes zlibStream(std::span<const uint8_t> bytes) {
    CompressedBytes out;
    deflateInto(out, Wrapper::Zlib, {}, bytes, End::Stream);
    return out;
}

std::vector<DeflatedPiece> deflatePieces(std::size_t count, int jobs, const std::function<StreamPiece(std::size_t)>& piece,
                                         bool endsStream) {
    std::vector<DeflatedPiece> pieces(count);
    std::vector<std::exception_ptr> errors;
    parallelFor(count, jobs, [&](std::size_t i) {
        const StreamPiece p = piece(i);
        const bool last = endsStream && i + 1 == count;
        deflateInto(pieces[i].bytes, Wrapper::Raw, p.history, p.bytes, last ? End::Stream : End::ByteBoundary);
        pieces[i].adler = isal_adler32(1, p.bytes.data(), p.bytes.size());
        pieces[i].length = p.bytes.size();
    }, errors);
    rethrowFirst(errors);
    return pieces;
}

std::vector<uint8_t> zlibStreamOf(const std::vector<DeflatedPiece>& pieces) {
    // The header of a 32 KiB window at the fastest level; the checksum of all pieces, big-endian.
    std::size_t size = 8;
    for (const DeflatedPiece& p : pieces) size += p.bytes.size();
    std::vector<uint8_t> out{0x78, 0x01};
    out.reserve(size);
    uLong adler = 1;
    for (const DeflatedPiece& p : pieces) {
        out.insert(out.end(), p.bytes.begin(), p.bytes.end());
        adler = adler32_combine(adler, p.adler, static_cast<z_off_t>(p.length));
    }
    if (pieces.empty()) out.insert(out.end(), {0x03, 0x00}); // an empty final block
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(adler >> shift));
    return out;
}

std::vector<uint8_t> zlibStreamInPieces(std::size_t count, int jobs, const std::function<StreamPiece(std::size_t)>& piece) {
    return zlibStreamOf(deflatePieces(count, jobs, piece, true));
}

} // namespace veldrin
