#include "internal/DffWriter.h"

#include "base/Error.h"
#include "pcout/RwChunk.h"

namespace veldrin {

namespace {

constexpr uint32_t kGeometryFlags = 0x0001006C;  // textured, prelit, lit, modulate material colour; one UV set
constexpr uint32_t kFrameMatrixFlags = 0x00020003;
constexpr uint32_t kMaterialReserved = 0x0018DE7C;
constexpr uint32_t kTextureFilterAddressing = 0x00000106;
constexpr uint32_t kAtomicFlags = 5;
constexpr float kBoundingRadius = 10.0f;

struct Writer {
    ByteWriter& out;
    uint32_t stamp;
    TargetGame target;
    bool sa() const { return target == TargetGame::GtaSa; }
    void header(uint32_t type, uint32_t size) { writeChunkHeader(out, type, size, stamp); }
    OpenChunk open(uint32_t type) { return OpenChunk(out, type, stamp); }
};

void writeFrameList(Writer& w, const std::string& name) {
    OpenChunk list = w.open(chunk::FrameList);
    OpenChunk s = w.open(chunk::Struct);
    w.out.u32(1);
    for (float f : {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f}) w.out.f32(f);
    w.out.i32(-1);
    w.out.u32(kFrameMatrixFlags);
    s.close();
    OpenChunk ext = w.open(chunk::Extension);
    w.header(chunk::FrameName, static_cast<uint32_t>(name.size()));
    w.out.text(name); // bare bytes: no terminator, no padding
    ext.close();
    list.close();
}

void writeGeometryStruct(Writer& w, const DffModel& m) {
    OpenChunk s = w.open(chunk::Struct);
    const auto vertexCount = static_cast<uint32_t>(m.positions.size());
    w.out.u32(kGeometryFlags);
    w.out.u32(static_cast<uint32_t>(m.triangles.size()));
    w.out.u32(vertexCount);
    w.out.u32(1); // morph targets
    if (!w.sa()) {
        w.out.f32(1.0f); // ambient
        w.out.f32(1.0f); // specular
        w.out.f32(1.0f); // diffuse
    }
    for (const Rgba& c : m.colours.prelit) w.out.bytes(c);
    for (const auto& uv : m.coordinates) {
        w.out.f32(uv[0]);
        w.out.f32(uv[1]);
    }
    for (const MeshTriangle& t : m.triangles) {
        if (t.a > 0xFFFF || t.b > 0xFFFF || t.c > 0xFFFF || t.material > 0xFFFF) {
            throw VeldrinError("model " + m.name + ": a triangle index does not fit 16 bits");
        }
        w.out.u16(static_cast<uint16_t>(t.a));
        w.out.u16(static_cast<uint16_t>(t.b));
        w.out.u16(static_cast<uint16_t>(t.material));
        w.out.u16(static_cast<uint16_t>(t.c));
    }
    for (float f : {0.0f, 0.0f, 0.0f, kBoundingRadius}) w.out.f32(f);
    w.out.u32(1); // has positions
    w.out.u32(0); // has normals
    for (const auto& p : m.positions) {
        w.out.f32(p[0]);
        w.out.f32(p[1]);
        w.out.f32(p[2]);
    }
    s.close();
}

// An untextured material has no texture chunk: the game then looks up no texture for it.
void writeMaterial(Writer& w, const std::string& textureName, bool textured) {
    OpenChunk material = w.open(chunk::Material);
    w.header(chunk::Struct, 28);
    w.out.u32(0);          // flags
    w.out.u32(0xFFFFFFFF); // colour: opaque white
    w.out.u32(kMaterialReserved);
    w.out.u32(textured ? 1 : 0);
    w.out.f32(1.0f);
    w.out.f32(0.0f);
    w.out.f32(1.0f);

    if (textured) {
        OpenChunk texture = w.open(chunk::Texture);
        w.header(chunk::Struct, 4);
        w.out.u32(kTextureFilterAddressing);
        writeStringChunk(w.out, textureName, w.stamp);
        writeStringChunk(w.out, "", w.stamp); // no mask
        w.header(chunk::Extension, 0);
        texture.close();
    }

    OpenChunk ext = w.open(chunk::Extension);
    if (w.sa()) {
        w.header(chunk::MaterialReflection, 24);
        for (uint32_t bits : {0x3F666666u, 0x3F666666u, 0x3F666666u, 0x3F800000u, 0x4121999Au}) w.out.u32(bits);
        w.out.u32(0);
    }
    ext.close();
    material.close();
}

void writeMaterialList(Writer& w, const DffModel& m) {
    OpenChunk list = w.open(chunk::MaterialList);
    OpenChunk s = w.open(chunk::Struct);
    w.out.u32(static_cast<uint32_t>(m.materialNames.size()));
    for (std::size_t i = 0; i < m.materialNames.size(); ++i) w.out.i32(-1);
    s.close();
    for (const std::string& name : m.materialNames) writeMaterial(w, name, !m.untextured);
    list.close();
}

void writeBinMesh(Writer& w, const DffModel& m) {
    std::vector<std::vector<uint32_t>> byMaterial(m.materialNames.size());
    for (uint32_t i = 0; i < m.triangles.size(); ++i) byMaterial.at(m.triangles[i].material).push_back(i);

    OpenChunk mesh = w.open(chunk::BinMesh);
    w.out.u32(0); // triangle lists
    w.out.u32(static_cast<uint32_t>(byMaterial.size()));
    w.out.u32(static_cast<uint32_t>(3 * m.triangles.size()));
    for (uint32_t t = 0; t < byMaterial.size(); ++t) {
        w.out.u32(static_cast<uint32_t>(3 * byMaterial[t].size()));
        w.out.u32(t);
        for (uint32_t i : byMaterial[t]) {
            const MeshTriangle& tri = m.triangles[i];
            w.out.u32(tri.b);
            w.out.u32(tri.a);
            w.out.u32(tri.c);
        }
    }
    mesh.close();
}

void writeGeometryExtension(Writer& w, const DffModel& m) {
    OpenChunk ext = w.open(chunk::Extension);
    writeBinMesh(w, m);
    if (w.sa()) {
        w.header(chunk::MeshExtension, 4);
        w.out.u32(0);
        if (m.nightColours) {
            w.header(chunk::NightVertexColours, static_cast<uint32_t>(4 * m.colours.night.size() + 4));
            w.out.text("FUK1");
            for (const Rgba& c : m.colours.night) w.out.bytes(c);
        }
    }
    ext.close();
}

void writeGeometryList(Writer& w, const DffModel& m) {
    OpenChunk list = w.open(chunk::GeometryList);
    w.header(chunk::Struct, 4);
    w.out.u32(1);
    OpenChunk geometry = w.open(chunk::Geometry);
    writeGeometryStruct(w, m);
    writeMaterialList(w, m);
    writeGeometryExtension(w, m);
    geometry.close();
    list.close();
}

void writeAtomic(Writer& w) {
    OpenChunk atomic = w.open(chunk::Atomic);
    w.header(chunk::Struct, 16);
    w.out.u32(0); // frame
    w.out.u32(0); // geometry
    w.out.u32(kAtomicFlags);
    w.out.u32(0);
    OpenChunk ext = w.open(chunk::Extension);
    if (!w.sa()) {
        w.header(chunk::MaterialEffects, 4);
        w.out.u32(0);
    }
    ext.close();
    atomic.close();
}

} // namespace

std::vector<uint8_t> writeDff(const DffModel& model, TargetGame target) {
    if (model.coordinates.size() != model.positions.size() || model.colours.prelit.size() != model.positions.size() ||
        (model.nightColours && model.colours.night.size() != model.positions.size())) {
        throw VeldrinError("model " + model.name + ": vertex tables of different lengths");
    }
    ByteWriter out;
    Writer w{out, versionStamp(target), target};
    OpenChunk clump = w.open(chunk::Clump);
    OpenChunk s = w.open(chunk::Struct);
    out.u32(1); // atomics
    if (target != TargetGame::Gta3) {
        out.u32(0); // lights
        out.u32(0); // cameras
    }
    s.close();
    writeFrameList(w, model.name);
    writeGeometryList(w, model);
    writeAtomic(w);
    w.header(chunk::Extension, 0);
    clump.close();
    return out.take();
}

} // namespace veldrin
