#include "inspect/TxdRead.h"

#include "base/ByteReader.h"
#include "base/Error.h"

namespace veldrin::inspect {

namespace {

constexpr uint32_t kPalette8 = 0x2000, kPalette4 = 0x4000;

ByteReader contentOf(std::span<const uint8_t> file, const ChunkNode& node, const std::string& what) {
    return ByteReader(file.subspan(node.content, node.size), what + ": " + describeChunk(node));
}

const ChunkNode& expectChild(const ChunkNode& node, std::size_t i, uint32_t type, const std::string& what) {
    if (i >= node.children.size() || node.children[i].type != type) {
        throw VeldrinError(what + ": " + describeChunk(node) + " has no " + describeType(type) + " as child " + std::to_string(i));
    }
    return node.children[i];
}

std::string name32(const ByteReader& s, int64_t at, std::string_view field) {
    const std::span<const uint8_t> bytes = s.slice(at, 32, field);
    const std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

TxdTexture readTexture(std::span<const uint8_t> file, const ChunkNode& native, const std::string& what) {
    TxdTexture t;
    t.nativeSize = native.size;
    const ChunkNode& body = expectChild(native, 0, chunk_type::Struct, what);
    t.structSize = body.size;
    t.extensionSize = expectChild(native, 1, chunk_type::Extension, what).size;
    const ByteReader s = contentOf(file, body, what);
    t.platform = s.u32(0, "platform");
    if (t.platform != kPcPlatformD3d8 && t.platform != kPcPlatformD3d9) return t;
    t.filter = s.u32(4, "filter");
    t.name = name32(s, 8, "name");
    t.mask = name32(s, 40, "mask name");
    t.rasterFormat = s.u32(72, "raster format");
    t.alphaWord = s.u32(76, "alpha");
    t.width = s.u16(80, "width");
    t.height = s.u16(82, "height");
    t.depth = s.u8(84, "depth");
    t.levelCount = s.u8(85, "level count");
    t.rasterType = s.u8(86, "raster type");
    t.flags = s.u8(87, "flags");
    int64_t at = 88;
    if (t.rasterFormat & kPalette4) throw VeldrinError(s.what() + ": texture " + t.name + " has a 4-bit palette, which this reader does not read");
    if (t.rasterFormat & kPalette8) {
        const auto palette = s.slice(at, 1024, "palette");
        t.palette.assign(palette.begin(), palette.end());
        at += 1024;
    }
    for (int level = 0; level < t.levelCount; ++level) {
        const uint32_t size = s.u32(at, "level size");
        const auto data = s.slice(at + 4, size, "level " + std::to_string(level));
        t.levels.emplace_back(data.begin(), data.end());
        at += 4 + int64_t(size);
    }
    if (at != int64_t(s.size())) {
        throw VeldrinError(s.what() + ": texture " + t.name + " ends at " + std::to_string(at) + " of its " + std::to_string(s.size()) + " bytes");
    }
    return t;
}

} // namespace

TxdDictionary readTxd(std::span<const uint8_t> file, const std::string& what) {
    TxdDictionary txd;
    txd.root = readRootChunk(file, what);
    const ChunkNode& root = txd.root;
    if (root.type != chunk_type::TextureDictionary) {
        throw VeldrinError(what + ": the file starts with " + describeChunk(root) + ", not a Texture Dictionary");
    }
    txd.stamp = root.stamp;
    const ByteReader s = contentOf(file, expectChild(root, 0, chunk_type::Struct, what), what);
    if (s.size() != 4) throw VeldrinError(s.what() + ": holds " + std::to_string(s.size()) + " bytes, not 4");
    txd.count = s.u16(0, "texture count");
    txd.deviceId = s.u16(2, "device");
    if (root.children.size() != std::size_t(txd.count) + 2) {
        throw VeldrinError(what + ": the dictionary says " + std::to_string(txd.count) + " texture(s) but holds " +
                           std::to_string(root.children.size() - 1) + " chunk(s) after its struct, not the textures and an extension");
    }
    for (std::size_t i = 1; i <= txd.count; ++i) txd.textures.push_back(readTexture(file, expectChild(root, i, chunk_type::TextureNative, what), what));
    txd.extensionSize = expectChild(root, std::size_t(txd.count) + 1, chunk_type::Extension, what).size;
    return txd;
}

} // namespace veldrin::inspect
