#pragma once
// An independent reader of chunk streams for the tests: it knows which chunk types hold children, walks the
// whole tree and fails when any declared size differs from what the chunk holds.
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace veldrin::test {

struct ChunkNode {
    uint32_t type = 0, size = 0, stamp = 0;
    std::size_t content = 0; // offset of the content in the file
    std::vector<ChunkNode> children;

    const ChunkNode& child(std::size_t i) const {
        if (i >= children.size()) throw std::runtime_error("chunk has no child " + std::to_string(i));
        return children[i];
    }
    // First child of the given type; throws when there is none.
    const ChunkNode& find(uint32_t wanted) const {
        for (const ChunkNode& c : children) {
            if (c.type == wanted) return c;
        }
        throw std::runtime_error("chunk has no child of type " + std::to_string(wanted));
    }
    bool has(uint32_t wanted) const {
        for (const ChunkNode& c : children) {
            if (c.type == wanted) return true;
        }
        return false;
    }
};

class ChunkTreeReader {
public:
    explicit ChunkTreeReader(const std::vector<uint8_t>& file) : file_(file) {}

    // The root chunk; it must span the whole file exactly.
    ChunkNode readRoot() {
        ChunkNode root = readChunk(0, file_.size());
        if (root.content + root.size != file_.size()) throw std::runtime_error("root chunk does not end the file");
        return root;
    }

    uint32_t u32(std::size_t at) const {
        need(at, 4);
        uint32_t v;
        std::memcpy(&v, file_.data() + at, 4); // the test machines are little-endian
        return v;
    }
    uint16_t u16(std::size_t at) const {
        need(at, 2);
        uint16_t v;
        std::memcpy(&v, file_.data() + at, 2);
        return v;
    }
    float f32(std::size_t at) const {
        const uint32_t bits = u32(at);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    std::string text(std::size_t at, std::size_t length) const {
        need(at, length);
        return std::string(reinterpret_cast<const char*>(file_.data() + at), length);
    }

private:
    static bool holdsChildren(uint32_t type) {
        switch (type) {
        case 0x03: // extension
        case 0x06: // texture
        case 0x07: // material
        case 0x08: // material list
        case 0x0E: // frame list
        case 0x0F: // geometry
        case 0x10: // clump
        case 0x14: // atomic
        case 0x1A: // geometry list
            return true;
        default: return false;
        }
    }

    void need(std::size_t at, std::size_t length) const {
        if (at > file_.size() || length > file_.size() - at) throw std::runtime_error("read past the end of the file");
    }

    ChunkNode readChunk(std::size_t at, std::size_t limit) {
        if (at + 12 > limit) throw std::runtime_error("chunk header runs past its parent");
        ChunkNode node;
        node.type = u32(at);
        node.size = u32(at + 4);
        node.stamp = u32(at + 8);
        node.content = at + 12;
        const std::size_t end = node.content + node.size;
        if (end > limit) throw std::runtime_error("chunk " + std::to_string(node.type) + " runs past its parent");
        if (rootStamp_ == 0) rootStamp_ = node.stamp;
        if (node.stamp != rootStamp_) throw std::runtime_error("chunk stamps differ within one file");
        if (holdsChildren(node.type)) {
            std::size_t child = node.content;
            // A container holds whole chunks and nothing else: its size must be the sum of theirs.
            while (child < end) {
                node.children.push_back(readChunk(child, end));
                child = node.children.back().content + node.children.back().size;
            }
            if (child != end) throw std::runtime_error("children do not fill their container");
        }
        return node;
    }

    const std::vector<uint8_t>& file_;
    uint32_t rootStamp_ = 0;
};

} // namespace veldrin::test
