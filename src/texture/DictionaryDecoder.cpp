#include "texture/DictionaryDecoder.h"

#include <cstring>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/ParallelFor.h"
#include "imaging/Imaging.h"
#include "pcout/RwChunk.h"

namespace veldrin {
namespace {

constexpr int64_t kHeader = static_cast<int64_t>(kChunkHeaderSize);
constexpr uint32_t kPalette8 = 0x2000;
constexpr uint32_t kFormatMask = 0x0F00;
constexpr uint32_t kFormat8888 = 0x0500;
constexpr uint32_t kFourCcDxt1 = 0x31545844;
constexpr uint32_t kFourCcDxt3 = 0x33545844;

struct Chunk {
    uint32_t type;
    int64_t content; // first byte after the header
    int64_t end;     // one past the last content byte
};

Chunk readChunk(const ByteReader& r, int64_t at, int64_t limit, uint32_t expected, const std::string& what) {
    const uint32_t type = r.u32(at, what);
    const uint32_t size = r.u32(at + 4, what);
    if (type != expected) {
        throw VeldrinError(r.what() + ": " + what + " at offset " + std::to_string(at) + " is chunk type " +
                           std::to_string(type) + ", not " + std::to_string(expected));
    }
    const Chunk c{type, at + kHeader, at + kHeader + static_cast<int64_t>(size)};
    if (c.end > limit || !r.contains(at, c.end - at)) {
        throw VeldrinError(r.what() + ": " + what + " at offset " + std::to_string(at) + " (" + std::to_string(size) +
                           " bytes) runs past its container");
    }
    return c;
}

std::string fixedName(std::span<const uint8_t> field) {
    std::string name;
    for (uint8_t c : field) {
        if (c == 0) break;
        name += static_cast<char>(c);
    }
    return name;
}

} // namespace

// A texture's header read and checked; its level 0 decoded on demand.
struct DictionaryTexels::Native {
    enum class Texels { Palette8, Bgra32, Dxt1, Dxt3 } kind = Texels::Bgra32;
    TexelFormat format = TexelFormat::A8R8G8B8;
    std::span<const uint8_t> palette, texels;
};

namespace {

DictionaryTexture readNative(const ByteReader& r, const Chunk& native, const std::string& what, DictionaryTexels::Native& n) {
    using Texels = DictionaryTexels::Native::Texels;
    const Chunk s = readChunk(r, native.content, native.end, chunk::Struct, what + " struct");
    const ByteReader in(r.slice(s.content, s.end - s.content, what), r.what() + ": " + what);
    DictionaryTexture t;
    const uint32_t platform = in.u32(0, "platform");
    t.name = fixedName(in.slice(8, 32, "name"));
    const uint32_t rasterFormat = in.u32(72, "raster format");
    const uint32_t alphaWord = in.u32(76, "alpha");
    t.width = in.u16(80, "width");
    t.height = in.u16(82, "height");
    const uint8_t depth = in.u8(84, "depth");
    const uint8_t levels = in.u8(85, "level count");
    const uint8_t flags = in.u8(87, "flags");
    if (t.width == 0 || t.height == 0 || levels == 0) {
        throw VeldrinError(in.what() + ": " + std::to_string(t.width) + " x " + std::to_string(t.height) + " with " +
                           std::to_string(levels) + " level(s) holds no picture");
    }

    Texels kind;
    if (platform == 8 && (flags == 1 || flags == 3)) kind = flags == 1 ? Texels::Dxt1 : Texels::Dxt3;
    else if (platform == 9 && (flags & 8) && (alphaWord == kFourCcDxt1 || alphaWord == kFourCcDxt3))
        kind = alphaWord == kFourCcDxt1 ? Texels::Dxt1 : Texels::Dxt3;
    else if ((rasterFormat & kPalette8) && depth == 8) kind = Texels::Palette8;
    else if ((rasterFormat & kFormatMask) == kFormat8888 && depth == 32) kind = Texels::Bgra32;
    else {
        throw VeldrinError(in.what() + ": platform " + std::to_string(platform) + ", raster format " +
                           std::to_string(rasterFormat) + ", depth " + std::to_string(depth) + " is not a kind this reader decodes");
    }
    t.hasAlpha = platform == 9 ? (flags & 1) != 0 : alphaWord != 0;

    int64_t at = 88;
    if (kind == Texels::Palette8) {
        n.palette = in.slice(at, 256 * 4, "palette");
        at += 256 * 4;
    }
    const int64_t size = in.u32(at, "level 0 size");
    const TexelFormat format = kind == Texels::Dxt1 ? TexelFormat::DXT1 : kind == Texels::Dxt3 ? TexelFormat::DXT3
                             : kind == Texels::Palette8 ? TexelFormat::Index8 : TexelFormat::A8R8G8B8;
    t.format = formatInfo(format).name;
    t.levels = levels;
    const int64_t expected = imageBytesFor(format, t.width, t.height);
    if (size != expected) {
        throw VeldrinError(in.what() + ": level 0 holds " + std::to_string(size) + " bytes, " + std::to_string(t.width) +
                           " x " + std::to_string(t.height) + " " + formatInfo(format).name + " needs " +
                           std::to_string(expected));
    }
    n.kind = kind;
    n.format = format;
    n.texels = in.slice(at + 4, size, "level 0 texels");
    return t;
}

// Blue-first texels written red-first: blue and red trade places in each 32-bit texel.
void putRedFirst(uint8_t* out, const uint8_t* bgra, std::size_t texels) {
    for (std::size_t i = 0; i < texels; ++i) {
        uint32_t v;
        std::memcpy(&v, bgra + i * 4, 4);
        v = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
        std::memcpy(out + i * 4, &v, 4);
    }
}

} // namespace

DictionaryTexels::DictionaryTexels(std::span<const uint8_t> bytes, const std::string& label) {
    const ByteReader r(bytes, label);
    const Chunk dict = readChunk(r, 0, static_cast<int64_t>(bytes.size()), chunk::TextureDictionary, "dictionary");
    const Chunk head = readChunk(r, dict.content, dict.end, chunk::Struct, "dictionary struct");
    const int count = r.u16(head.content, "texture count");
    int64_t at = head.end;
    for (int i = 0; i < count; ++i) {
        const std::string what = "texture " + std::to_string(i);
        const Chunk native = readChunk(r, at, dict.end, chunk::TextureNative, what);
        textures_.push_back(readNative(r, native, what, natives_.emplace_back()));
        at = native.end;
    }
}

DictionaryTexels::~DictionaryTexels() = default;
DictionaryTexels::DictionaryTexels(DictionaryTexels&&) noexcept = default;

void DictionaryTexels::decode(std::size_t i, uint8_t* out, std::size_t rowBytes) const {
    using Texels = Native::Texels;
    const DictionaryTexture& t = textures_.at(i);
    const Native& n = natives_.at(i);
    const std::size_t width = static_cast<std::size_t>(t.width);
    if (n.kind == Texels::Palette8) {
        // A palette entry is stored red, green, blue, alpha.
        for (int y = 0; y < t.height; ++y) {
            uint8_t* row = out + std::size_t(y) * rowBytes;
            const uint8_t* index = n.texels.data() + std::size_t(y) * width;
            for (std::size_t x = 0; x < width; ++x) std::memcpy(row + x * 4, n.palette.data() + std::size_t(index[x]) * 4, 4);
        }
        return;
    }
    if (n.kind != Texels::Bgra32) {
        decodeBlocksRedFirst(n.texels, t.width, t.height, n.format, out, rowBytes);
        return;
    }
    for (int y = 0; y < t.height; ++y) putRedFirst(out + std::size_t(y) * rowBytes, n.texels.data() + std::size_t(y) * width * 4, width);
}

std::vector<DictionaryTexture> decodeDictionary(std::span<const uint8_t> bytes, const std::string& label, int jobs) {
    const DictionaryTexels dictionary(bytes, label);
    std::vector<DictionaryTexture> textures = dictionary.textures();
    std::vector<std::exception_ptr> errors;
    parallelFor(textures.size(), jobs, [&](std::size_t i) {
        DictionaryTexture& t = textures[i];
        t.rgba.resize(std::size_t(t.width) * std::size_t(t.height) * 4);
        dictionary.decode(i, t.rgba.data(), std::size_t(t.width) * 4);
    }, errors);
    rethrowFirst(errors);
    return textures;
}

} // namespace veldrin
