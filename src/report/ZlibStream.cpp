#include "internal/ZlibStream.h"

#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <algorithm>
#include <optional>

#include "base/Error.h"
#include "base/ParallelFor.h"

namespace veldrin {

namespace {

enum class Wrapper { Zlib, Raw };
// How the bytes end: at a byte boundary with no final block, so another piece's blocks may follow; or
// the stream's end.
enum class End { ByteBoundary, Stream };

// Deflate blocks appended to an output as input comes, by igzip's fast level.
class Deflater {
public:
    // `history`: up to 32 KiB that came before in the stream, which matches may refer to (Raw only).
    // `levelBuffer`: the compressor's working memory, ISAL_DEF_LVL1_DEFAULT bytes, kept while it runs.
    Deflater(Wrapper wrapper, std::span<const uint8_t> history, uint8_t* levelBuffer) {
        isal_deflate_init(&s_);
        s_.level = 1;
        s_.level_buf = levelBuffer;
        s_.level_buf_size = ISAL_DEF_LVL1_DEFAULT;
        s_.gzip_flag = wrapper == Wrapper::Zlib ? IGZIP_ZLIB : IGZIP_DEFLATE;
        if (!history.empty()) {
            history = history.last(std::min<std::size_t>(history.size(), ISAL_DEF_HIST_SIZE));
            if (isal_deflate_set_dict(&s_, const_cast<uint8_t*>(history.data()), static_cast<uint32_t>(history.size())) != COMP_OK)
                throw VeldrinError("the compressor refused the history before a piece");
        }
    }

    // Compresses `bytes` into `out`; `end` says how they end, if they are the last.
    void add(CompressedBytes& out, std::span<const uint8_t> bytes, std::optional<End> end) {
        // The stream's counters are 32-bit: large inputs go in slices.
        constexpr std::size_t kSlice = std::size_t(1) << 30;
        std::size_t at = 0;
        do {
            const std::size_t slice = std::min(kSlice, bytes.size() - at);
            s_.next_in = const_cast<uint8_t*>(bytes.data() + at);
            s_.avail_in = static_cast<uint32_t>(slice);
            at += slice;
            const bool lastSlice = at == bytes.size();
            s_.end_of_stream = end == End::Stream && lastSlice ? 1 : 0;
            s_.flush = end == End::ByteBoundary && lastSlice ? SYNC_FLUSH : NO_FLUSH;
            // Room for a quarter of the input at a time, grown while it runs short: the output is rarely
            // larger.
            while (true) {
                const std::size_t used = out.size();
                const std::size_t room = std::min<std::size_t>(std::max<std::size_t>(s_.avail_in / 4, 64 * 1024), kSlice);
                out.resize(used + room);
                s_.next_out = out.data() + used;
                s_.avail_out = static_cast<uint32_t>(room);
                if (isal_deflate(&s_) != COMP_OK) throw VeldrinError("the compressor failed");
                const bool roomLeft = s_.avail_out > 0;
                out.resize(used + (room - s_.avail_out));
                // Done when the input is taken and, for an end, everything it calls for is out.
                const bool finished = s_.end_of_stream ? s_.internal_state.state == ZSTATE_END
                                                       : s_.avail_in == 0 && (s_.flush == NO_FLUSH || roomLeft);
                if (finished) break;
            }
        } while (at < bytes.size());
    }

private:
    isal_zstream s_{};
};

// Appends the bytes as deflate blocks to `out`, ended as `end` says.
void deflateInto(CompressedBytes& out, Wrapper wrapper, std::span<const uint8_t> history, std::span<const uint8_t> bytes,
                 End end) {
    // The compressor's working memory, kept by each thread for its next piece: a fresh one per piece
    // costs more in page faults than its piece costs to compress.
    thread_local std::vector<uint8_t> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    Deflater(wrapper, history, levelBuffer.data()).add(out, bytes, end);
}

} // namespace

struct ZlibWriter::State {
    std::vector<uint8_t> levelBuffer = std::vector<uint8_t>(ISAL_DEF_LVL1_DEFAULT);
    Deflater deflater{Wrapper::Zlib, {}, levelBuffer.data()};
};

namespace {
constexpr std::size_t kStagedBytes = std::size_t(1) << 20;
} // namespace

ZlibWriter::ZlibWriter() : state_(std::make_unique<State>()) { staged_.reserve(kStagedBytes); }
ZlibWriter::~ZlibWriter() = default;

void ZlibWriter::add(std::span<const uint8_t> bytes) {
    stage(bytes.size(), [&](std::size_t at, std::size_t count) {
        staged_.insert(staged_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
    });
}

void ZlibWriter::addFill(uint8_t value, std::size_t count) {
    stage(count, [&](std::size_t, std::size_t some) { staged_.insert(staged_.end(), some, value); });
}

template <typename Put>
void ZlibWriter::stage(std::size_t count, const Put& put) {
    added_ += count;
    for (std::size_t at = 0; at < count;) {
        const std::size_t take = std::min(count - at, kStagedBytes - staged_.size());
        put(at, take);
        at += take;
        if (staged_.size() == kStagedBytes) compressStaged(false);
    }
}

void ZlibWriter::compressStaged(bool last) {
    state_->deflater.add(out_, staged_, last ? std::optional<End>(End::Stream) : std::nullopt);
    staged_.clear();
}

CompressedBytes ZlibWriter::finish() {
    compressStaged(true);
    return std::move(out_);
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

std::vector<std::span<const uint8_t>> zlibStreamSpans(const std::vector<DeflatedPiece>& pieces, std::array<uint8_t, 8>& frame) {
    // The header of a 32 KiB window at the fastest level; the checksum of all pieces, big-endian.
    static constexpr uint8_t kEmptyFinalBlock[] = {0x03, 0x00};
    uLong adler = 1;
    for (const DeflatedPiece& p : pieces) adler = adler32_combine(adler, p.adler, static_cast<z_off_t>(p.length));
    frame = {0x78, 0x01, uint8_t(adler >> 24), uint8_t(adler >> 16), uint8_t(adler >> 8), uint8_t(adler)};
    std::vector<std::span<const uint8_t>> spans{{frame.data(), 2}};
    for (const DeflatedPiece& p : pieces) spans.emplace_back(p.bytes.data(), p.bytes.size());
    if (pieces.empty()) spans.emplace_back(kEmptyFinalBlock, sizeof kEmptyFinalBlock);
    spans.emplace_back(frame.data() + 2, 4);
    return spans;
}

} // namespace veldrin
