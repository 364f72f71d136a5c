#include "texture/TextureDictionary.h"

#include <limits>

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

} // namespace

std::vector<uint8_t> makeTxd(std::span<const uint8_t> level, std::span<const TextureRef> textures, const TxdParams& params) {
    if (textures.size() > std::numeric_limits<uint16_t>::max()) {
        throw VeldrinError("A texture dictionary holds at most 65535 textures, not " + std::to_string(textures.size()));
    }
    const std::vector<std::string> names = textureNames(textures, params.texturePrefix);
    const NativeOptions options{params.target, params.genMipMaps, params.mipSizeThreshold, params.dxtQuality};

    std::vector<std::vector<uint8_t>> natives(textures.size());
    std::vector<std::exception_ptr> errors;
    parallelFor(
        textures.size(), params.jobs,
        [&](std::size_t i) {
            natives[i] = makeTextureNative(decodeSourceTexture(level, textures[i], params.edition, params.target),
                                           names[i], options);
        },
        errors);
    rethrowFirst(errors);

    std::size_t nativeBytes = 0;
    for (const auto& native : natives) nativeBytes += native.size();
    const uint32_t stamp = versionStamp(params.target);
    std::vector<uint8_t> bytes;
    bytes.reserve(nativeBytes + 4 * kChunkHeaderSize);
    ByteWriter out(bytes);
    OpenChunk dictionary(out, chunk::TextureDictionary, stamp);
    writeChunkHeader(out, chunk::Struct, 4, stamp);
    out.u16(static_cast<uint16_t>(textures.size()));
    out.u16(params.target == TargetGame::GtaSa ? 2 : 0); // device id
    for (auto& native : natives) {
        out.bytes(native);
        std::vector<uint8_t>().swap(native);
    }
    writeChunkHeader(out, chunk::Extension, 0, stamp);
    dictionary.close();
    return bytes;
}

} // namespace veldrin
