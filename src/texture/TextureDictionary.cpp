#include "texture/TextureDictionary.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "base/ParallelFor.h"
#include "base/TextureName.h"
#include "pcout/RwChunk.h"
#include "texture/MipMapRule.h"
#include "texture/SourceTexture.h"
#include "texture/TextureNative.h"

namespace veldrin {
namespace {

std::vector<std::string> textureNames(std::span<const TextureRef> textures, const std::string& prefix) {
    std::vector<std::string> names;
    names.reserve(textures.size());
    for (const TextureRef& ref : textures) {
        std::string name = textureName(prefix, ref.resourceIndex);
        requireTextureNameLength(name);
        names.push_back(std::move(name));
    }
    return names;
}

// A raster that later textures of the dictionary show again is kept for them while the kept rasters
// take less than this; past it, a repeated record is decoded again when it comes back.
constexpr int64_t kKeptRasterBudget = 64ll << 20;

// Textures are encoded a window at a time, on the run's threads, and written in order: a dictionary
// holds at most this many encoded textures per thread at once, whatever its length.
constexpr std::size_t kWindowPerThread = 8;

using RecordKey = std::pair<int64_t, int64_t>; // a raster record: its position and its base

RecordKey keyOf(const TextureRef& ref) { return {ref.position, ref.base}; }

void writeU32At(ByteSink& out, int64_t at, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    out.overwrite(at, bytes);
}

} // namespace

void writeTxd(std::span<const uint8_t> level, std::span<const TextureRef> textures, const TxdParams& params,
              ByteSink& sink) {
    if (textures.size() > std::numeric_limits<uint16_t>::max()) {
        throw VeldrinError("A texture dictionary holds at most 65535 textures, not " + std::to_string(textures.size()));
    }
    const std::vector<std::string> names = textureNames(textures, params.texturePrefix);
    const NativeOptions options{params.target, params.genMipMaps, params.mipSizeThreshold, params.dxtQuality};

    // The last texture that shows each record, so a kept raster is let go after it, and how many show it,
    // so a dictionary too large for its chunk is refused when its records are first encoded.
    std::map<RecordKey, std::size_t> lastUse;
    std::map<RecordKey, int64_t> uses;
    for (std::size_t i = 0; i < textures.size(); ++i) {
        lastUse[keyOf(textures[i])] = i;
        ++uses[keyOf(textures[i])];
    }

    constexpr int64_t kStructSize = 4;
    const uint32_t stamp = versionStamp(params.target);
    const int64_t start = sink.size();
    std::vector<uint8_t> head;
    ByteWriter out(head);
    writeChunkHeader(out, chunk::TextureDictionary, 0, stamp); // its size is set once the natives are out
    writeChunkHeader(out, chunk::Struct, kStructSize, stamp);
    out.u16(static_cast<uint16_t>(textures.size()));
    out.u16(params.target == TargetGame::GtaSa ? 2 : 0); // device id
    sink.write(head);

    const int64_t limit = std::numeric_limits<int32_t>::max();
    int64_t contentSize = int64_t(kChunkHeaderSize) + kStructSize + int64_t(kChunkHeaderSize);
    int64_t foreseen = contentSize; // the natives of every record encoded so far, times its textures
    std::map<RecordKey, bool> foreseenFor;
    std::map<RecordKey, std::shared_ptr<const EncodedRaster>> kept;
    int64_t keptBytes = 0;
    const std::size_t window = kWindowPerThread * static_cast<std::size_t>(std::max(1, params.jobs));
    for (std::size_t first = 0; first < textures.size(); first += window) {
        const std::size_t last = std::min(textures.size(), first + window);
        // The records of this window not kept from before, each encoded once.
        std::map<RecordKey, std::shared_ptr<const EncodedRaster>> fresh;
        std::vector<std::size_t> toEncode;
        for (std::size_t i = first; i < last; ++i) {
            const RecordKey key = keyOf(textures[i]);
            if (kept.contains(key) || fresh.contains(key)) continue;
            fresh[key] = nullptr;
            toEncode.push_back(i);
        }
        std::vector<std::shared_ptr<const EncodedRaster>> encoded(toEncode.size());
        std::vector<std::exception_ptr> errors;
        parallelFor(
            toEncode.size(), params.jobs,
            [&](std::size_t k) {
                const TextureRef& ref = textures[toEncode[k]];
                encoded[k] = std::make_shared<const EncodedRaster>(
                    encodeRaster(decodeSourceTexture(level, ref, params.edition, params.target), options));
            },
            errors);
        rethrowFirst(errors);
        for (std::size_t k = 0; k < toEncode.size(); ++k) {
            const RecordKey key = keyOf(textures[toEncode[k]]);
            if (!foreseenFor[key]) {
                foreseenFor[key] = true;
                foreseen += uses.at(key) * encoded[k]->nativeSize();
                if (foreseen > limit) throw VeldrinError("Texture dictionary too large (over " + std::to_string(foreseen) + " bytes)");
            }
            fresh[key] = std::move(encoded[k]);
        }

        for (std::size_t i = first; i < last; ++i) {
            const RecordKey key = keyOf(textures[i]);
            const auto found = kept.find(key);
            const EncodedRaster& raster = found != kept.end() ? *found->second : *fresh.at(key);
            contentSize += raster.nativeSize();
            writeTextureNative(sink, raster, names[i]);
        }

        for (auto it = kept.begin(); it != kept.end();) {
            if (lastUse.at(it->first) < last) {
                keptBytes -= it->second->nativeSize();
                it = kept.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& [key, raster] : fresh) {
            if (!raster || lastUse.at(key) < last) continue;
            if (keptBytes + raster->nativeSize() > kKeptRasterBudget) continue;
            keptBytes += raster->nativeSize();
            kept.emplace(key, std::move(raster));
        }
    }
    std::vector<uint8_t> tail;
    ByteWriter end(tail);
    writeChunkHeader(end, chunk::Extension, 0, stamp);
    sink.write(tail);
    writeU32At(sink, start + 4, static_cast<uint32_t>(contentSize));
}

std::vector<uint8_t> makeTxd(std::span<const uint8_t> level, std::span<const TextureRef> textures, const TxdParams& params) {
    std::vector<uint8_t> bytes;
    VectorSink sink(bytes);
    writeTxd(level, textures, params, sink);
    return bytes;
}

} // namespace veldrin
