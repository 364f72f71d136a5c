#include "internal/ZlibInflate.h"

#include <algorithm>

#include <zlib.h>

#include "base/Error.h"

namespace veldrin {

std::vector<uint8_t> inflateWithZlib(std::span<const uint8_t> input, const std::string& what, std::size_t maxSize) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) throw VeldrinError(what + ": cannot start the inflater");
    std::vector<uint8_t> out;
    out.reserve(std::min<std::size_t>(input.size() * 4, maxSize)); // most streams inflate to a few times their size
    std::size_t consumed = 0;
    int rc = Z_OK;
    uint8_t chunk[65536];
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0 && consumed < input.size()) {
            const std::size_t piece = std::min<std::size_t>(65536, input.size() - consumed);
            zs.next_in = const_cast<Bytef*>(input.data() + consumed);
            zs.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        zs.next_out = chunk;
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - zs.avail_out));
        if (out.size() > maxSize) {
            inflateEnd(&zs);
            throw VeldrinError(what + " inflates past " + std::to_string(maxSize) +
                               " bytes, more than its 32-bit offsets can address");
        }
        if (rc == Z_BUF_ERROR && zs.avail_in == 0 && consumed >= input.size()) {
            inflateEnd(&zs);
            throw VeldrinError(what + " is truncated: its zlib stream ends before its end marker");
        }
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            const std::string reason = zs.msg ? zs.msg : "invalid data";
            inflateEnd(&zs);
            throw VeldrinError(what + " is not a valid zlib stream (" + reason + ")");
        }
    }
    inflateEnd(&zs);
    return out;
}

} // namespace veldrin
