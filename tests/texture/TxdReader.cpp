#include "TxdReader.h"

#include <stdexcept>

namespace veldrin::test {
namespace {

class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    std::size_t at() const { return at_; }
    std::size_t left() const { return bytes_.size() - at_; }
    std::span<const uint8_t> take(std::size_t n) {
        if (n > left()) throw std::runtime_error("read past the end at " + std::to_string(at_));
        auto s = bytes_.subspan(at_, n);
        at_ += n;
        return s;
    }
    uint32_t u32() {
        auto s = take(4);
        return s[0] | (s[1] << 8) | (s[2] << 16) | (uint32_t(s[3]) << 24);
    }
    uint16_t u16() {
        auto s = take(2);
        return static_cast<uint16_t>(s[0] | (s[1] << 8));
    }
    uint8_t u8() { return take(1)[0]; }
    std::string name32() {
        auto s = take(32);
        std::string text(s.begin(), s.end());
        return text.substr(0, text.find('\0'));
    }

private:
    std::span<const uint8_t> bytes_;
    std::size_t at_ = 0;
};

uint32_t expectChunk(Cursor& c, uint32_t type, uint32_t stamp) {
    const uint32_t t = c.u32(), size = c.u32(), s = c.u32();
    if (t != type) throw std::runtime_error("chunk type " + std::to_string(t) + ", expected " + std::to_string(type));
    if (s != stamp) throw std::runtime_error("stamp differs inside the file");
    if (size > c.left()) throw std::runtime_error("chunk size runs past the end");
    return size;
}

ReadNative readNative(Cursor& c, uint32_t stamp) {
    ReadNative n;
    n.nativeSize = expectChunk(c, 0x15, stamp);
    const std::size_t nativeEnd = c.at() + n.nativeSize;
    n.structSize = expectChunk(c, 0x01, stamp);
    const std::size_t structEnd = c.at() + n.structSize;
    n.platform = c.u32();
    n.filter = c.u32();
    n.name = c.name32();
    n.mask = c.name32();
    n.rasterFormat = c.u32();
    n.alphaWord = c.u32();
    n.width = c.u16();
    n.height = c.u16();
    n.depth = c.u8();
    n.levelCount = c.u8();
    n.rasterType = c.u8();
    n.flags = c.u8();
    if ((n.rasterFormat & 0x2000) != 0) {
        auto p = c.take(1024);
        n.palette.assign(p.begin(), p.end());
    }
    for (int level = 0; level < n.levelCount; ++level) {
        const uint32_t size = c.u32();
        auto data = c.take(size);
        n.levels.emplace_back(data.begin(), data.end());
    }
    if (c.at() != structEnd) throw std::runtime_error("struct size does not match its contents");
    if (expectChunk(c, 0x03, stamp) != 0) throw std::runtime_error("texture extension not empty");
    if (c.at() != nativeEnd) throw std::runtime_error("texture native size does not match its contents");
    return n;
}

} // namespace

ReadTxd readTxd(std::span<const uint8_t> bytes) {
    Cursor c(bytes);
    if (bytes.size() < 12) throw std::runtime_error("too short");
    ReadTxd txd;
    txd.stamp = static_cast<uint32_t>(bytes[8] | (bytes[9] << 8) | (bytes[10] << 16) | (uint32_t(bytes[11]) << 24));
    const uint32_t total = expectChunk(c, 0x16, txd.stamp);
    if (total != bytes.size() - 12) throw std::runtime_error("dictionary size is not the file length - 12");
    if (expectChunk(c, 0x01, txd.stamp) != 4) throw std::runtime_error("dictionary struct is not 4 bytes");
    txd.count = c.u16();
    txd.deviceId = c.u16();
    for (int i = 0; i < txd.count; ++i) txd.textures.push_back(readNative(c, txd.stamp));
    if (expectChunk(c, 0x03, txd.stamp) != 0) throw std::runtime_error("dictionary extension not empty");
    if (c.left() != 0) throw std::runtime_error("bytes after the dictionary");
    return txd;
}

} // namespace veldrin::test
