#include "collision/StoriesColReader.h"

#include <algorithm>
#include <bit>

#include "base/ByteReader.h"

namespace veldrin {

namespace {

// Where a model header keeps its counts and section offsets; the bounds come first in both.
struct HeaderLayout {
    int64_t size;
    int64_t sphereCount, boxCount, faceCount;
    int64_t sphereOffset, boxOffset, vertexOffset, faceOffset;
};

constexpr HeaderLayout kLcsLayout{kLcsColHeaderRead, 48, 50, 52, 60, 68, 76, 80};
constexpr HeaderLayout kVcsLayout{kVcsColHeaderRead, 52, 48, 50, 56, 64, 72, 76};

constexpr int64_t kSphereSize = 32;
constexpr int64_t kBoxSize = 48;
constexpr int64_t kVertexSize = 6;
constexpr int64_t kFaceSize = 8;
constexpr float kVertexScale = 128.0f;

const HeaderLayout& layoutOf(StoriesEdition edition) { return edition == StoriesEdition::VCS ? kVcsLayout : kLcsLayout; }

// Unchecked reads inside a section whose whole extent has been checked.
float floatAt(std::span<const uint8_t> bytes, std::size_t at) { return std::bit_cast<float>(loadU32(bytes.data() + at)); }
ColVector vectorAt(std::span<const uint8_t> bytes, std::size_t at) {
    return {floatAt(bytes, at), floatAt(bytes, at + 4), floatAt(bytes, at + 8)};
}

bool checkCol(std::span<const uint8_t> stream, int64_t headerOffset, const HeaderLayout& l, const std::string& what) {
    const ByteReader r(stream, what);
    r.require(headerOffset, l.size, "collision header");
    return r.u16(headerOffset + l.sphereCount) == 0 && r.u16(headerOffset + l.boxCount) == 0 &&
           r.u16(headerOffset + l.faceCount) == 0;
}

// A section of `count` records at base + offset, checked whole before any record is read. An empty
// section is not looked for: nothing is read from it, whatever its offset.
std::span<const uint8_t> section(const ByteReader& r, int64_t base, uint32_t offset, int64_t count, int64_t recordSize,
                                 std::string_view name) {
    if (count == 0) return {};
    return r.slice(base + static_cast<int64_t>(offset), count * recordSize, name);
}

} // namespace

bool isEmptyColModelLcs(std::span<const uint8_t> stream, int64_t headerOffset, const std::string& what) {
    return checkCol(stream, headerOffset, kLcsLayout, what);
}

bool isEmptyColModelVcs(std::span<const uint8_t> stream, int64_t headerOffset, const std::string& what) {
    return checkCol(stream, headerOffset, kVcsLayout, what);
}

bool isEmptyColModel(std::span<const uint8_t> stream, int64_t headerOffset, StoriesEdition edition, const std::string& what) {
    return edition == StoriesEdition::VCS ? isEmptyColModelVcs(stream, headerOffset, what) : isEmptyColModelLcs(stream, headerOffset, what);
}

StoriesColModel readStoriesColModel(std::span<const uint8_t> stream, int64_t headerOffset, int64_t sectionBase,
                                    StoriesEdition edition, const std::string& what) {
    const HeaderLayout& l = layoutOf(edition);
    const ByteReader r(stream, what);
    const std::span<const uint8_t> header = r.slice(headerOffset, l.size, "collision header");
    const ByteReader h(header, what);

    StoriesColModel model;
    model.centre = vectorAt(header, 0);
    model.radius = floatAt(header, 12);
    model.boxMin = vectorAt(header, 16);
    model.boxMax = vectorAt(header, 32);

    const std::span<const uint8_t> boxes =
        section(r, sectionBase, h.u32(l.boxOffset), h.u16(l.boxCount), kBoxSize, "box section");
    model.boxes.resize(boxes.size() / kBoxSize);
    for (std::size_t i = 0; i < model.boxes.size(); ++i) {
        const std::size_t at = i * kBoxSize;
        ColBox& box = model.boxes[i];
        box.min = vectorAt(boxes, at);
        box.max = vectorAt(boxes, at + 16);
        std::copy_n(boxes.begin() + static_cast<std::ptrdiff_t>(at + 32), 4, box.surface.begin());
    }

    const std::span<const uint8_t> spheres =
        section(r, sectionBase, h.u32(l.sphereOffset), h.u16(l.sphereCount), kSphereSize, "sphere section");
    model.spheres.resize(spheres.size() / kSphereSize);
    for (std::size_t i = 0; i < model.spheres.size(); ++i) {
        const std::size_t at = i * kSphereSize;
        ColSphere& sphere = model.spheres[i];
        sphere.centre = vectorAt(spheres, at);
        sphere.radius = floatAt(spheres, at + 12);
        sphere.material = spheres[at + 16];
        sphere.flag = spheres[at + 17];
    }

    // Faces name their corners by byte offset into the vertex section, which has no count of its
    // own: the largest corner tells how far it reaches.
    const std::span<const uint8_t> faces =
        section(r, sectionBase, h.u32(l.faceOffset), h.u16(l.faceCount), kFaceSize, "face section");
    int32_t largest = 0;
    model.faces.reserve(faces.size() / kFaceSize);
    for (std::size_t at = 0; at < faces.size(); at += kFaceSize) {
        ColFace face;
        bool inside = true;
        for (std::size_t k = 0; k < 3; ++k) {
            const int16_t reference = static_cast<int16_t>(loadU16(faces.data() + at + 2 * k));
            largest = std::max<int32_t>(largest, reference);
            const int32_t index = reference / static_cast<int32_t>(kVertexSize);
            // A corner before the section would become an index near 2^32 in the PC record.
            if (index < 0) inside = false;
            face.vertices[k] = static_cast<uint32_t>(index);
        }
        face.material = faces[at + 6];
        if (inside) {
            model.faces.push_back(face);
        } else {
            ++model.skippedFaces;
        }
    }

    const int64_t vertexCount = largest / kVertexSize + 1;
    const std::span<const uint8_t> vertices =
        section(r, sectionBase, h.u32(l.vertexOffset), vertexCount, kVertexSize, "vertex section");
    model.vertices.resize(static_cast<std::size_t>(vertexCount));
    for (std::size_t i = 0; i < model.vertices.size(); ++i) {
        for (std::size_t k = 0; k < 3; ++k) {
            const int16_t fixed = static_cast<int16_t>(loadU16(vertices.data() + i * kVertexSize + 2 * k));
            model.vertices[i][k] = static_cast<float>(fixed) / kVertexScale;
        }
    }
    return model;
}

} // namespace veldrin
