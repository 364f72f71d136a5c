#include "internal/ZlibStream.h"

#include <libdeflate.h>

#include <map>
#include <memory>

namespace veldrin {
namespace {

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

} // namespace

bool zlibStream(std::span<const uint8_t> bytes, int level, std::vector<uint8_t>& out) {
    thread_local std::map<int, std::unique_ptr<libdeflate_compressor, CompressorFree>> compressors;
    auto& compressor = compressors[level];
    if (!compressor) compressor.reset(libdeflate_alloc_compressor(level));
    if (!compressor) return false;
    out.resize(libdeflate_zlib_compress_bound(compressor.get(), bytes.size()));
    const std::size_t size = libdeflate_zlib_compress(compressor.get(), bytes.data(), bytes.size(), out.data(), out.size());
    out.resize(size);
    return size > 0;
}

} // namespace veldrin
