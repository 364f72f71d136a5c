#include "inspect/CollisionRead.h"

#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"
#include "base/Error.h"

namespace veldrin::inspect {

namespace {

constexpr int64_t kHeaderSize = 8; // tag and size

std::string fieldText(std::span<const uint8_t> bytes) {
    const std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

std::array<float, 3> vec(const ByteReader& r, int64_t at, std::string_view field) {
    return {r.f32(at, field), r.f32(at + 4, field), r.f32(at + 8, field)};
}

std::array<uint8_t, 4> four(const ByteReader& r, int64_t at, std::string_view field) {
    const auto s = r.slice(at, 4, field);
    return {s[0], s[1], s[2], s[3]};
}

// `count` records of `stride` bytes at `at`, checked whole inside the record; returns where they end.
int64_t section(const ByteReader& r, int64_t at, int64_t count, int64_t stride, std::string_view field) {
    r.require(at, count * stride, field);
    return at + count * stride;
}

// Version 1: the counts and sections follow each other after the bounds.
void readVersion1(const ByteReader& r, CollRecord& c) {
    c.radius = r.f32(32, "bounding radius");
    c.centre = vec(r, 36, "bounding centre");
    c.min = vec(r, 48, "box minimum");
    c.max = vec(r, 60, "box maximum");
    int64_t at = 72;
    uint32_t n = r.u32(at, "sphere count");
    int64_t end = section(r, at + 4, n, 20, "spheres");
    for (at += 4; at < end; at += 20) c.spheres.push_back({r.f32(at), vec(r, at + 4, "sphere"), four(r, at + 16, "sphere surface")});
    c.lineCount = r.u32(at, "line count");
    at = section(r, at + 4, c.lineCount, 24, "lines");
    n = r.u32(at, "box count");
    end = section(r, at + 4, n, 28, "boxes");
    for (at += 4; at < end; at += 28) c.boxes.push_back({vec(r, at, "box"), vec(r, at + 12, "box"), four(r, at + 24, "box surface")});
    n = r.u32(at, "vertex count");
    end = section(r, at + 4, n, 12, "vertices");
    for (at += 4; at < end; at += 12) c.vertices.push_back(vec(r, at, "vertex"));
    n = r.u32(at, "face count");
    end = section(r, at + 4, n, 16, "faces");
    for (at += 4; at < end; at += 16) c.faces.push_back({{r.u32(at), r.u32(at + 4), r.u32(at + 8)}, r.u32(at + 12)});
    if (at != int64_t(r.size())) {
        throw VeldrinError(r.what() + ": its sections end at " + std::to_string(at) + " of its " + std::to_string(r.size()) + " bytes");
    }
}

// Later versions: bounds, then counts and offsets; sections lie at their offset from the byte after the tag.
void readVersion2(const ByteReader& r, CollRecord& c, bool version3) {
    c.min = vec(r, 32, "box minimum");
    c.max = vec(r, 44, "box maximum");
    c.centre = vec(r, 56, "bounding centre");
    c.radius = r.f32(68, "bounding radius");
    const uint16_t spheres = r.u16(72, "sphere count"), boxes = r.u16(74, "box count"), faces = r.u16(76, "face count");
    c.lineCount = r.u8(78, "line count");
    const auto offset = [&r](int64_t at, std::string_view field) { return int64_t(r.u32(at, field)) + 4; };
    int64_t at = offset(84, "sphere offset");
    for (const int64_t end = section(r, at, spheres, 20, "spheres"); at < end; at += 20)
        c.spheres.push_back({r.f32(at + 12), vec(r, at, "sphere"), four(r, at + 16, "sphere surface")});
    at = offset(88, "box offset");
    for (const int64_t end = section(r, at, boxes, 28, "boxes"); at < end; at += 28)
        c.boxes.push_back({vec(r, at, "box"), vec(r, at + 12, "box"), four(r, at + 24, "box surface")});
    at = offset(100, "face offset");
    uint32_t corners = 0;
    for (const int64_t end = section(r, at, faces, 8, "faces"); at < end; at += 8) {
        const CollFace f{{r.u16(at), r.u16(at + 2), r.u16(at + 4)}, uint32_t(r.u8(at + 6)) | uint32_t(r.u8(at + 7)) << 8};
        corners = std::max({corners, f.corners[0] + 1, f.corners[1] + 1, f.corners[2] + 1});
        c.faces.push_back(f);
    }
    // The vertex section carries no count: the faces name how far it reaches.
    at = offset(96, "vertex offset");
    for (const int64_t end = section(r, at, corners, 6, "vertices"); at < end; at += 6)
        c.vertices.push_back({r.i16(at) / 128.0f, r.i16(at + 2) / 128.0f, r.i16(at + 4) / 128.0f});
    if (version3) c.shadowFaceCount = r.u32(108, "shadow face count");
}

} // namespace

bool startsCollisionRecord(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4) return false;
    return std::memcmp(bytes.data(), "COLL", 4) == 0 || std::memcmp(bytes.data(), "COL2", 4) == 0 ||
           std::memcmp(bytes.data(), "COL3", 4) == 0;
}

std::vector<CollRecord> readCollisionFile(std::span<const uint8_t> file, const std::string& what, bool padded) {
    const ByteReader whole(file, what);
    std::vector<CollRecord> records;
    std::size_t at = 0;
    while (at < file.size()) {
        const auto rest = file.subspan(at);
        if (padded && std::all_of(rest.begin(), rest.end(), [](uint8_t b) { return b == 0; })) break;
        const std::string where = "record " + std::to_string(records.size()) + " at offset " + std::to_string(at);
        CollRecord c;
        c.offset = at;
        c.format = std::string(reinterpret_cast<const char*>(whole.slice(int64_t(at), 4, where + ": tag").data()), 4);
        if (!startsCollisionRecord(rest)) {
            throw VeldrinError(what + ": " + where + " opens with \"" + c.format + "\", not COLL, COL2 or COL3");
        }
        c.size = whole.u32(int64_t(at) + 4, where + ": size");
        const ByteReader r(whole.slice(int64_t(at), kHeaderSize + c.size, "record " + std::to_string(records.size())), what + ": " + where);
        const auto field = r.slice(8, 24, "name");
        c.name = fieldText(field.first(22));
        c.modelTag = std::string(field.begin() + 20, field.end());
        c.modelId = r.u16(30, "model number");
        if (c.format == "COLL") readVersion1(r, c);
        else readVersion2(r, c, c.format == "COL3");
        at += std::size_t(kHeaderSize + c.size);
        records.push_back(std::move(c));
    }
    return records;
}

} // namespace veldrin::inspect
