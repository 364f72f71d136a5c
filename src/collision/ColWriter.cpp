#include "collision/ColWriter.h"

#include <limits>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "internal/ColNameField.h"

namespace veldrin {

namespace {

constexpr uint64_t kFixedBody = 84; // name, "CED2", bounds and the five section counts
constexpr uint64_t kSphereSize = 20;
constexpr uint64_t kBoxSize = 28;
constexpr uint64_t kVertexSize = 12;
constexpr uint64_t kFaceSize = 16;

void writeVector(ByteWriter& w, const ColVector& v) {
    for (float c : v) w.f32(c);
}

} // namespace

uint64_t collBodySize(const StoriesColModel& m) {
    return kFixedBody + kSphereSize * m.spheres.size() + kBoxSize * m.boxes.size() + kVertexSize * m.vertices.size() +
           kFaceSize * m.faces.size();
}

void writeCOL(std::vector<uint8_t>& out, const std::string& name, const StoriesColModel& model) {
    const uint64_t body = collBodySize(model);
    if (body > std::numeric_limits<uint32_t>::max()) {
        throw VeldrinError("Cannot write the collision record \"" + name + "\": it is too large for its size field");
    }
    ByteWriter w;
    w.data().reserve(static_cast<std::size_t>(kCollHeaderSize + body));
    w.text("COLL");
    w.u32(static_cast<uint32_t>(body));
    writeColNameField(w, name);
    w.f32(model.radius);
    writeVector(w, model.centre);
    writeVector(w, model.boxMin);
    writeVector(w, model.boxMax);

    w.u32(static_cast<uint32_t>(model.spheres.size()));
    for (const ColSphere& s : model.spheres) {
        w.f32(s.radius);
        writeVector(w, s.centre);
        w.u8(s.material);
        w.u8(s.flag);
        w.zeros(2);
    }
    w.u32(0); // the format keeps an empty section between spheres and boxes
    w.u32(static_cast<uint32_t>(model.boxes.size()));
    for (const ColBox& b : model.boxes) {
        writeVector(w, b.min);
        writeVector(w, b.max);
        for (uint8_t c : b.surface) w.u8(c);
    }
    w.u32(static_cast<uint32_t>(model.vertices.size()));
    for (const ColVector& v : model.vertices) writeVector(w, v);
    w.u32(static_cast<uint32_t>(model.faces.size()));
    for (const ColFace& f : model.faces) {
        for (uint32_t index : f.vertices) w.u32(index);
        w.u32(f.material);
    }
    const std::vector<uint8_t> record = w.take();
    out.insert(out.end(), record.begin(), record.end());
}

} // namespace veldrin
