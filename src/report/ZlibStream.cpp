#include "internal/ZlibStream.h"

#include <isa-l/igzip_lib.h>

#include <algorithm>

#include "base/Error.h"

namespace veldrin {

struct ZlibWriter::State {
    isal_zstream stream{};
    std::vector<uint8_t> levelBuffer = std::vector<uint8_t>(ISAL_DEF_LVL1_DEFAULT);
};

ZlibWriter::ZlibWriter(std::vector<uint8_t>& out) : state_(std::make_unique<State>()), out_(out) {
    isal_zstream& s = state_->stream;
    isal_deflate_init(&s);
    s.level = 1;
    s.level_buf = state_->levelBuffer.data();
    s.level_buf_size = static_cast<uint32_t>(state_->levelBuffer.size());
    s.gzip_flag = IGZIP_ZLIB;
    s.flush = NO_FLUSH;
}

ZlibWriter::~ZlibWriter() = default;

void ZlibWriter::add(std::span<const uint8_t> bytes, bool last) {
    isal_zstream& s = state_->stream;
    // The stream's counters are 32-bit: large inputs go in slices.
    constexpr std::size_t kSlice = std::size_t(1) << 30;
    std::size_t at = 0;
    do {
        const std::size_t slice = std::min(kSlice, bytes.size() - at);
        s.next_in = const_cast<uint8_t*>(bytes.data() + at);
        s.avail_in = static_cast<uint32_t>(slice);
        at += slice;
        s.end_of_stream = last && at == bytes.size() ? 1 : 0;
        // Room for the input stored as it is, plus block and stream overhead; grown while it runs short.
        while (true) {
            const std::size_t used = out_.size();
            const std::size_t room = std::min<std::size_t>(s.avail_in + s.avail_in / 8 + 1024, kSlice);
            out_.resize(used + room);
            s.next_out = out_.data() + used;
            s.avail_out = static_cast<uint32_t>(room);
            if (isal_deflate(&s) != COMP_OK) throw VeldrinError("the compressor failed");
            out_.resize(used + (room - s.avail_out));
            const bool finished = s.end_of_stream ? s.internal_state.state == ZSTATE_END : s.avail_in == 0;
            if (finished) break;
        }
    } while (at < bytes.size());
}

std::vector<uint8_t> zlibStream(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> out;
    ZlibWriter(out).add(bytes, true);
    return out;
}

} // namespace veldrin
