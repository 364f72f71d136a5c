#include "level/Inflate.h"

#include <algorithm>
#include <memory>
#include <new>

#include <libdeflate.h>

#include "internal/ZlibInflate.h"

namespace veldrin {

namespace {

// Deflate codes a 258-byte match in two bits at best, so no stream inflates past 1032 times its size.
constexpr std::size_t kMaxDeflateRatio = 1032;
// The first room tried, in times the stream's size: levels and game data inflate to a few times theirs.
constexpr std::size_t kFirstRoomRatio = 8;

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

} // namespace

InflatedBytes inflateWhole(std::span<const uint8_t> input, const std::string& what, std::size_t maxSize) {
    // libdeflate inflates a whole stream at once, about twice as fast as zlib, but into room given up
    // front, and a zlib stream does not state its size. The room starts at a guess and grows to the most
    // the stream can hold; it is left uninitialised, so pages the stream does not reach are never
    // touched. Only a stream libdeflate inflates whole is taken from it: anything else is read again by
    // zlib, whose refusals (and their messages) stay those of every earlier version.
    const std::size_t bound = std::min(maxSize, input.size() * kMaxDeflateRatio);
    const std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(libdeflate_alloc_decompressor());
    std::size_t room = std::min(bound, input.size() * kFirstRoomRatio);
    while (decompressor) {
        InflatedBytes out{std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[std::max<std::size_t>(room, 1)])};
        if (!out.data) break;
        std::size_t read = 0;
        const libdeflate_result result = libdeflate_zlib_decompress_ex(decompressor.get(), input.data(), input.size(),
                                                                       out.data.get(), room, &read, &out.size);
        if (result == LIBDEFLATE_SUCCESS) return out;
        if (result != LIBDEFLATE_INSUFFICIENT_SPACE || room == bound) break;
        room = std::min(bound, room * kFirstRoomRatio);
    }
    const std::vector<uint8_t> inflated = inflateWithZlib(input, what, maxSize);
    InflatedBytes out{std::make_unique<uint8_t[]>(std::max<std::size_t>(inflated.size(), 1)), inflated.size()};
    std::copy(inflated.begin(), inflated.end(), out.data.get());
    return out;
}

std::vector<uint8_t> inflateStream(std::span<const uint8_t> input, const std::string& what, std::size_t maxSize) {
    const InflatedBytes inflated = inflateWhole(input, what, maxSize);
    return {inflated.data.get(), inflated.data.get() + inflated.size};
}

} // namespace veldrin
