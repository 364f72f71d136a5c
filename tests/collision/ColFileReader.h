#pragma once
// Test-only readers written from the file layouts, independent of the writers under test.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace veldrin::test {

struct ReadSphere {
    float radius = 0;
    std::array<float, 3> centre{};
    std::array<uint8_t, 4> surface{};
};
struct ReadBox {
    std::array<float, 3> min{}, max{};
    std::array<uint8_t, 4> surface{};
};
struct ReadFace {
    std::array<uint32_t, 3> corners{};
    uint32_t surface = 0;
};
struct ReadColl {
    uint32_t size = 0;
    std::string name;     // up to the first zero of the 20-byte field
    std::string modelTag; // the 4 bytes after the name field
    float radius = 0;
    std::array<float, 3> centre{}, min{}, max{};
    std::vector<ReadSphere> spheres;
    uint32_t emptySection = 0;
    std::vector<ReadBox> boxes;
    std::vector<std::array<float, 3>> vertices;
    std::vector<ReadFace> faces;
};

class LittleEndianCursor {
public:
    LittleEndianCursor(const std::vector<uint8_t>& b, std::size_t at) : b_(b), at_(at) {}
    uint32_t u32() {
        need(4);
        uint32_t v = uint32_t(b_[at_]) | uint32_t(b_[at_ + 1]) << 8 | uint32_t(b_[at_ + 2]) << 16 | uint32_t(b_[at_ + 3]) << 24;
        at_ += 4;
        return v;
    }
    float f32() {
        const uint32_t v = u32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    std::array<float, 3> vec() { return {f32(), f32(), f32()}; }
    std::array<uint8_t, 4> four() {
        need(4);
        std::array<uint8_t, 4> r{b_[at_], b_[at_ + 1], b_[at_ + 2], b_[at_ + 3]};
        at_ += 4;
        return r;
    }
    std::string text(std::size_t n) {
        need(n);
        std::string s(b_.begin() + static_cast<std::ptrdiff_t>(at_), b_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
        at_ += n;
        return s;
    }
    std::size_t at() const { return at_; }

private:
    void need(std::size_t n) const {
        if (at_ + n > b_.size()) throw std::runtime_error("collision file ends inside a record");
    }
    const std::vector<uint8_t>& b_;
    std::size_t at_;
};

// Every "COLL" record of a PC collision file; throws when a record's contents do not end exactly
// where its size field says. With `padded`, zero bytes after the last record (an archive entry's
// sector padding) end the file.
inline std::vector<ReadColl> readCollFile(const std::vector<uint8_t>& bytes, bool padded = false) {
    std::vector<ReadColl> records;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (padded && std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(), [](uint8_t b) { return b == 0; }))
            break;
        LittleEndianCursor c(bytes, at);
        if (c.text(4) != "COLL") throw std::runtime_error("record without COLL");
        ReadColl r;
        r.size = c.u32();
        const std::size_t end = c.at() + r.size;
        const std::string field = c.text(20);
        r.name = field.substr(0, field.find('\0'));
        r.modelTag = c.text(4);
        r.radius = c.f32();
        r.centre = c.vec();
        r.min = c.vec();
        r.max = c.vec();
        for (uint32_t n = c.u32(), i = 0; i < n; ++i) r.spheres.push_back({c.f32(), c.vec(), c.four()});
        r.emptySection = c.u32();
        for (uint32_t n = c.u32(), i = 0; i < n; ++i) r.boxes.push_back({c.vec(), c.vec(), c.four()});
        for (uint32_t n = c.u32(), i = 0; i < n; ++i) r.vertices.push_back(c.vec());
        for (uint32_t n = c.u32(), i = 0; i < n; ++i) r.faces.push_back({{c.u32(), c.u32(), c.u32()}, c.u32()});
        if (c.at() != end) throw std::runtime_error("record " + r.name + " does not end where its size says");
        records.push_back(r);
        at = end;
    }
    return records;
}

struct ReadImgEntry {
    std::string name;
    std::vector<uint8_t> bytes; // whole sectors
};

// Entries of a headerless directory (.DIR) over its data (.IMG), or of a "VER2" archive when there is
// no directory.
inline std::vector<ReadImgEntry> readImgArchive(const std::vector<uint8_t>& data, const std::vector<uint8_t>* directory = nullptr) {
    const bool ver2 = directory == nullptr;
    const std::vector<uint8_t>& dir = ver2 ? data : *directory;
    std::size_t at = 0;
    uint32_t count = static_cast<uint32_t>(dir.size() / 32);
    if (ver2) {
        LittleEndianCursor c(data, 0);
        if (c.text(4) != "VER2") throw std::runtime_error("no VER2");
        count = c.u32();
        at = 8;
    }
    std::vector<ReadImgEntry> entries;
    for (uint32_t i = 0; i < count; ++i, at += 32) {
        LittleEndianCursor c(dir, at);
        const uint32_t offset = c.u32(), sectors = c.u32();
        const std::string field = c.text(24);
        const std::size_t from = std::size_t(offset) * 2048, to = from + std::size_t(sectors) * 2048;
        if (to > data.size()) throw std::runtime_error("entry outside the archive");
        entries.push_back({field.substr(0, field.find('\0')),
                           std::vector<uint8_t>(data.begin() + static_cast<std::ptrdiff_t>(from),
                                                data.begin() + static_cast<std::ptrdiff_t>(to))});
    }
    return entries;
}

} // namespace veldrin::test
