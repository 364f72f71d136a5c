#include "texture/TextureDictionary.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "base/OrderedPipeline.h"
#include "base/TextureName.h"
#include "internal/TextureNative.h"
#include "pcout/RwChunk.h"
#include "texture/MipMapRule.h"
#include "texture/SourceTexture.h"

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

// Textures are encoded on the run's threads ahead of the writing, at most this many per thread: a
// dictionary holds that many encoded textures per thread at once, whatever its length. A record shown
// again within that distance is kept for its next showing; further on, it is decoded again.
constexpr std::size_t kAheadPerThread = 8;

using RecordKey = std::pair<int64_t, int64_t>; // a raster record: its position and its base

RecordKey keyOf(const TextureRef& ref) { return {ref.position, ref.base}; }

std::string tooLarge(int64_t foreseen, bool forTheLevel) {
    std::string text = "Texture dictionary too large (over " + std::to_string(foreseen) + " bytes)";
    if (forTheLevel) {
        text += ": more than " + std::to_string(kTxdBytesPerLevelByte) +
                " for every byte of the level; its textures name the same raster records over and over";
    }
    return text;
}

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

    // Where each record shows next, and how often it shows, so a dictionary too large for its chunk is
    // refused when its records are first encoded.
    const std::size_t ahead = kAheadPerThread * static_cast<std::size_t>(std::max(1, params.jobs));
    std::vector<std::size_t> nextUse(textures.size(), textures.size());
    std::vector<bool> encodes(textures.size(), true); // false: the raster kept from the record's last showing
    std::vector<bool> firstShowing(textures.size(), false);
    std::map<RecordKey, int64_t> uses;
    {
        std::map<RecordKey, std::size_t> lastSeen;
        for (std::size_t i = 0; i < textures.size(); ++i) {
            const RecordKey key = keyOf(textures[i]);
            ++uses[key];
            if (const auto seen = lastSeen.find(key); seen != lastSeen.end()) {
                nextUse[seen->second] = i;
                encodes[i] = i - seen->second > ahead;
                seen->second = i;
            } else {
                lastSeen.emplace(key, i);
                firstShowing[i] = true;
            }
        }
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

    const int64_t chunkLimit = std::numeric_limits<int32_t>::max();
    const int64_t levelLimit = kTxdBytesPerLevelByte * static_cast<int64_t>(level.size()) + kTxdAllowance;
    int64_t contentSize = int64_t(kChunkHeaderSize) + kStructSize + int64_t(kChunkHeaderSize);
    int64_t foreseen = contentSize; // the natives of every record encoded so far, times its showings
    std::map<RecordKey, std::shared_ptr<const EncodedRaster>> kept;
    using Raster = std::shared_ptr<const EncodedRaster>;
    orderedPipeline<Raster>(
        textures.size(), params.jobs, ahead,
        [&](std::size_t i) -> Raster {
            if (!encodes[i]) return nullptr;
            return std::make_shared<const EncodedRaster>(
                encodeRaster(decodeSourceTexture(level, textures[i], params.edition, params.target), options));
        },
        [&](std::size_t i, Raster&& encoded) {
            const RecordKey key = keyOf(textures[i]);
            if (!encoded) {
                const auto found = kept.find(key);
                encoded = std::move(found->second);
                kept.erase(found);
            } else if (firstShowing[i]) {
                foreseen += uses.at(key) * encoded->nativeSize();
                if (foreseen > std::min(chunkLimit, levelLimit)) throw VeldrinError(tooLarge(foreseen, levelLimit < chunkLimit));
            }
            contentSize += encoded->nativeSize();
            writeTextureNative(sink, *encoded, names[i]);
            if (nextUse[i] < textures.size() && !encodes[nextUse[i]]) kept[key] = std::move(encoded);
            return true;
        });
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
