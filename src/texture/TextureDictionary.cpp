#include "texture/TextureDictionary.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <thread>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "model/RwChunk.h"
#include "texture/MipMapRule.h"
#include "texture/SourceTexture.h"
#include "texture/TextureNative.h"

namespace veldrin {
namespace {

// A native header holds 32 bytes of name; one is kept for the terminator, so the mask name
// (the name followed by "a") still fits.
constexpr std::size_t kMaxTextureNameLength = 31;

std::vector<std::string> textureNames(std::span<const TextureRef> textures, const std::string& prefix) {
    std::vector<std::string> names;
    names.reserve(textures.size());
    for (const TextureRef& ref : textures) {
        std::string name = prefix + std::to_string(ref.resourceIndex);
        if (name.size() > kMaxTextureNameLength) {
            throw VeldrinError("Texture name \"" + name + "\" is longer than " + std::to_string(kMaxTextureNameLength) +
                               " characters");
        }
        names.push_back(std::move(name));
    }
    return names;
}

// Runs build(i) for every i below count on up to `jobs` threads. Every index below the first
// failing one is built, so the error that escapes is the one of the earliest failing texture,
// whatever the thread count.
template <class Build>
void forEachIndex(std::size_t count, int jobs, Build build) {
    std::vector<std::exception_ptr> errors(count);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> firstFailure{count};
    auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count || i > firstFailure.load()) return;
            try {
                build(i);
            } catch (...) {
                errors[i] = std::current_exception();
                std::size_t seen = firstFailure.load();
                while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {
                }
            }
        }
    };
    const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), std::max<std::size_t>(count, 1));
    {
        std::vector<std::jthread> helpers;
        for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(work);
        work();
    }
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

} // namespace

std::vector<uint8_t> makeTxd(std::span<const uint8_t> level, std::span<const TextureRef> textures, const TxdParams& params) {
    if (textures.size() > std::numeric_limits<uint16_t>::max()) {
        throw VeldrinError("A texture dictionary holds at most 65535 textures, not " + std::to_string(textures.size()));
    }
    const std::vector<std::string> names = textureNames(textures, params.texturePrefix);
    const NativeOptions options{params.target, params.genMipMaps, mipSizeThreshold(params.mipMapThreshold)};

    std::vector<std::vector<uint8_t>> natives(textures.size());
    forEachIndex(textures.size(), params.jobs, [&](std::size_t i) {
        natives[i] = makeTextureNative(decodeSourceTexture(level, textures[i], params.edition, params.target), names[i],
                                       options);
    });

    constexpr int64_t kStructSize = 4;
    int64_t contentSize = int64_t(kChunkHeaderSize) + kStructSize + int64_t(kChunkHeaderSize);
    for (const auto& native : natives) contentSize += static_cast<int64_t>(native.size());
    if (contentSize > std::numeric_limits<int32_t>::max()) {
        throw VeldrinError("Texture dictionary too large (" + std::to_string(contentSize) + " bytes)");
    }

    const uint32_t stamp = versionStamp(params.target);
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(contentSize) + kChunkHeaderSize);
    ByteWriter out(bytes);
    writeChunkHeader(out, chunk::TextureDictionary, static_cast<uint32_t>(contentSize), stamp);
    writeChunkHeader(out, chunk::Struct, kStructSize, stamp);
    out.u16(static_cast<uint16_t>(textures.size()));
    out.u16(params.target == TargetGame::GtaSa ? 2 : 0); // device id
    for (auto& native : natives) {
        out.bytes(native);
        std::vector<uint8_t>().swap(native);
    }
    writeChunkHeader(out, chunk::Extension, 0, stamp);
    return bytes;
}

} // namespace veldrin
