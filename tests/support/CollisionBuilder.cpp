#include "support/CollisionBuilder.h"

#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "support/LevelBuilder.h"

namespace veldrin::test {

namespace {

void vector3(ByteWriter& w, const std::array<float, 3>& v) {
    for (float c : v) w.f32(c);
}

void patch(std::vector<uint8_t>& out, std::size_t at, uint32_t value) { ByteWriter(out).patchU32(at, value); }

} // namespace

ColHeaderFields colHeaderFields(StoriesEdition edition) {
    if (edition == StoriesEdition::VCS) return {56, 64, 72, 76, 52, 48, 50};
    return {60, 68, 76, 80, 48, 50, 52};
}

uint32_t appendColModel(std::vector<uint8_t>& out, const TestColModel& m, StoriesEdition edition, int64_t sectionBase) {
    const ColHeaderFields f = colHeaderFields(edition);
    const std::size_t header = out.size();
    ByteWriter w(out);
    vector3(w, m.centre);
    w.f32(m.radius);
    vector3(w, m.min);
    w.u32(0xDEADBEEF); // unread
    vector3(w, m.max);
    w.u32(0xDEADBEEF);
    w.zeros((edition == StoriesEdition::VCS ? 80 : 96) - 48);
    auto count = [&](int at, std::size_t n) {
        out[header + at] = static_cast<uint8_t>(n);
        out[header + at + 1] = static_cast<uint8_t>(n >> 8);
    };
    count(f.sphereCount, m.spheres.size());
    count(f.boxCount, m.boxes.size());
    count(f.faceCount, m.faces.size());
    auto here = [&] { return static_cast<uint32_t>(static_cast<int64_t>(out.size()) - sectionBase); };

    patch(out, header + f.faceOffset, here());
    for (const TestColFace& face : m.faces) {
        for (int16_t c : face.corners) w.i16(c);
        w.u8(face.material);
        w.u8(0xAB);
    }
    patch(out, header + f.boxOffset, here());
    for (const TestColBox& b : m.boxes) {
        vector3(w, b.min);
        w.u32(0xDEADBEEF);
        vector3(w, b.max);
        w.u32(0xDEADBEEF);
        for (uint8_t s : b.surface) w.u8(s);
        w.zeros(12);
    }
    patch(out, header + f.vertexOffset, here());
    for (const auto& v : m.vertices)
        for (int16_t c : v) w.i16(c);
    w.alignTo(4);
    patch(out, header + f.sphereOffset, here());
    for (const TestColSphere& s : m.spheres) {
        vector3(w, s.centre);
        w.f32(s.radius);
        w.u8(s.material);
        w.u8(s.flag);
        w.zeros(14);
    }
    return static_cast<uint32_t>(header);
}

TestColModel boxModel(float size) {
    TestColModel m;
    m.radius = size;
    m.boxes = {{{-1, -1, -1}, {size, size, size}, {1, 0, 0, 0}}};
    m.vertices = {{0, 0, 0}};
    return m;
}

std::vector<uint8_t> buildCol2(const std::vector<TestCol2Entry>& entries, StoriesEdition edition) {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.text("2loc");
    w.u32(0);
    w.zeros(24);
    const std::size_t table = out.size();
    for (const TestCol2Entry& e : entries) {
        w.i32(e.modelIndex);
        w.u32(0);
    }
    w.i32(-1);
    w.u32(0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const uint32_t header = appendColModel(out, entries[i].model, edition, 0);
        patch(out, table + 8 * i + 4, header);
    }
    return out;
}

std::vector<uint8_t> buildSharedCol2(const TestColModel& model, int copies, bool distinctIndices, StoriesEdition edition) {
    const std::vector<uint8_t> one = buildCol2({{0, model}}, edition);
    // Grow the index in front of the model; its sections count from the file's start, so their
    // offsets move with it.
    const uint32_t shift = 8 * static_cast<uint32_t>(copies - 1);
    const uint32_t header = loadU32(one.data() + 36) + shift;
    std::vector<uint8_t> out(one.begin(), one.begin() + 32);
    ByteWriter w(out);
    for (int i = 0; i < copies; ++i) w.i32(distinctIndices ? i : 0), w.u32(header);
    out.insert(out.end(), one.begin() + 40, one.end());
    const ColHeaderFields fields = colHeaderFields(edition);
    const std::pair<int, bool> sections[] = {{fields.sphereOffset, !model.spheres.empty()},
                                             {fields.boxOffset, !model.boxes.empty()},
                                             {fields.vertexOffset, true},
                                             {fields.faceOffset, !model.faces.empty()}};
    for (const auto& [field, used] : sections) {
        if (used) w.patchU32(header + field, loadU32(out.data() + header + field) + shift);
    }
    return out;
}

TestDtzInstance placedAt(int model, float x, float y, float z) {
    TestDtzInstance i;
    i.model = model;
    i.position = {x, y, z};
    return i;
}

std::vector<uint8_t> buildDtzData(const TestDtz& d, StoriesEdition edition) {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.text("GATG");
    w.zeros(60);
    const uint32_t table = static_cast<uint32_t>(out.size());
    patch(out, kDtzModelCountAt, static_cast<uint32_t>(d.modelCount));
    patch(out, kDtzModelTableAt, table);
    w.zeros(4 * static_cast<std::size_t>(d.modelCount));

    auto infoRecord = [&](int model) {
        const uint32_t at = static_cast<uint32_t>(out.size());
        w.zeros(32);
        patch(out, table + 4 * model, at);
        return at;
    };
    for (int model : d.withoutCollision) infoRecord(model);
    for (const auto& [model, col] : d.collisions) {
        const uint32_t info = infoRecord(model);
        patch(out, info + 20, appendColModel(out, col, edition, 0));
    }

    auto pool = [&](int slot, const TestDtzPool& p) {
        w.alignTo(16);
        const uint32_t header = static_cast<uint32_t>(out.size());
        patch(out, slot, header);
        w.u32(header + 16);
        w.zeros(8);
        w.i32(p.lastIndex.value_or(static_cast<int32_t>(p.instances.size()) - 1));
        for (const TestDtzInstance& inst : p.instances) {
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 3; ++col) w.f32(inst.matrix[row * 3 + col]);
                w.f32(0);
            }
            vector3(w, inst.position);
            w.zeros(28);
            w.u16(static_cast<uint16_t>(inst.model));
            w.zeros(6);
        }
    };
    pool(kDtzBuildingsAt, d.buildings);
    pool(kDtzTreadablesAt, d.treadables);
    pool(kDtzDummiesAt, d.dummies);
    return out;
}

std::vector<uint8_t> buildDtz(const TestDtz& dtz, StoriesEdition edition) {
    return deflateBytes(buildDtzData(dtz, edition));
}

std::vector<uint8_t> buildColImg(const std::vector<std::vector<uint8_t>>& files, int fillerSectors) {
    std::vector<uint8_t> img;
    ByteWriter w(img);
    for (int s = 0; s < fillerSectors; ++s) {
        w.u32(0x10);
        w.text("not a collision file");
        w.alignTo(2048);
    }
    for (const auto& file : files) {
        w.bytes(file);
        w.alignTo(2048);
    }
    return img;
}

} // namespace veldrin::test
