#include "inspect/DffRead.h"

#include <bit>
#include <cstring>

#include "base/ByteReader.h"
#include "base/Error.h"

namespace veldrin::inspect {

namespace {

// Geometry format flags.
constexpr uint32_t kTextured = 0x04, kPrelit = 0x08, kTextured2 = 0x80, kNative = 0x01000000;
// Files before this library version keep a geometry's surface lighting in its struct.
constexpr uint32_t kLastVersionWithSurfaceLighting = 0x33FFF;

class ModelReader {
public:
    ModelReader(std::span<const uint8_t> file, std::string what) : file_(file), what_(std::move(what)) {}

    // The content of `node` as a reader whose messages name the file and the chunk.
    ByteReader content(const ChunkNode& node) const {
        return ByteReader(file_.subspan(node.content, node.size), what_ + ": " + describeChunk(node));
    }

    const ChunkNode& child(const ChunkNode& node, std::size_t i, uint32_t type) const {
        if (i >= node.children.size() || node.children[i].type != type) {
            throw VeldrinError(what_ + ": " + describeChunk(node) + " has no " + describeType(type) + " as child " + std::to_string(i));
        }
        return node.children[i];
    }

    const ChunkNode* find(const ChunkNode& node, uint32_t type) const {
        for (const ChunkNode& c : node.children) {
            if (c.type == type) return &c;
        }
        return nullptr;
    }

    // `count` records of `stride` bytes at `at`, checked whole inside the chunk before any is read.
    static int64_t records(const ByteReader& r, int64_t at, uint32_t count, int64_t stride, std::string_view field) {
        r.require(at, int64_t(count) * stride, field);
        return at + int64_t(count) * stride;
    }

    // The same records copied as they are stored: the files' little-endian order is this machine's own.
    template <typename T>
    static std::vector<T> recordsAs(const ByteReader& r, int64_t at, uint32_t count, std::string_view field) {
        static_assert(std::endian::native == std::endian::little);
        records(r, at, count, sizeof(T), field);
        std::vector<T> out(count);
        if (count) std::memcpy(out.data(), r.bytes().data() + at, std::size_t(count) * sizeof(T));
        return out;
    }

    std::string string(const ChunkNode& node) const {
        const std::span<const uint8_t> bytes = content(node).bytes();
        std::string text(bytes.begin(), bytes.end());
        return text.substr(0, text.find('\0'));
    }

    std::vector<std::string> frameNames(const ChunkNode& frames) const {
        const ByteReader s = content(child(frames, 0, chunk_type::Struct));
        const uint32_t count = s.u32(0, "frame count");
        records(s, 4, count, 56, "frames");
        std::vector<std::string> names;
        for (std::size_t i = 1; i < frames.children.size() && names.size() < count; ++i) {
            const ChunkNode* name = frames.children[i].type == chunk_type::Extension ? find(frames.children[i], chunk_type::FrameName) : nullptr;
            names.push_back(name ? string(*name) : "");
        }
        return names;
    }

    void readStruct(const ChunkNode& node, uint32_t version, DffGeometry& g) const {
        const ByteReader s = content(node);
        g.format = s.u32(0, "format");
        g.triangleCount = s.u32(4, "triangle count");
        g.vertexCount = s.u32(8, "vertex count");
        g.morphTargetCount = s.u32(12, "morph target count");
        int64_t at = version <= kLastVersionWithSurfaceLighting ? 28 : 16;
        const uint32_t flags = g.format & 0xFFFF;
        const uint32_t sets = (g.format >> 16) & 0xFF ? (g.format >> 16) & 0xFF : (flags & kTextured2) ? 2 : (flags & kTextured) ? 1 : 0;
        const uint32_t vertices = g.vertexCount;
        if ((g.format & kNative) == 0) {
            if (flags & kPrelit) {
                g.prelit = recordsAs<std::array<uint8_t, 4>>(s, at, vertices, "vertex colours");
                at += int64_t(vertices) * 4;
            }
            for (uint32_t set = 0; set < sets; ++set) {
                if (set == 0) g.coordinates = recordsAs<std::array<float, 2>>(s, at, vertices, "texture coordinates");
                at = records(s, at, vertices, 8, "texture coordinates");
            }
            g.triangles = recordsAs<std::array<uint16_t, 4>>(s, at, g.triangleCount, "triangles");
            at += int64_t(g.triangleCount) * 8;
        }
        for (uint32_t m = 0; m < g.morphTargetCount; ++m) {
            const uint32_t hasPositions = s.u32(at + 16, "morph target position flag");
            const uint32_t hasNormals = s.u32(at + 20, "morph target normal flag");
            at += 24;
            if (hasPositions) {
                if (m == 0) g.positions = recordsAs<std::array<float, 3>>(s, at, vertices, "positions");
                at = records(s, at, vertices, 12, "positions");
            }
            if (hasNormals) at = records(s, at, vertices, 12, "normals");
        }
        if (at != int64_t(s.size())) {
            throw VeldrinError(s.what() + ": its fields end at " + std::to_string(at) + " of its " + std::to_string(s.size()) + " bytes");
        }
    }

    void readMaterials(const ChunkNode& list, DffGeometry& g) const {
        for (const ChunkNode& material : list.children) {
            if (material.type != chunk_type::Material) continue;
            const ChunkNode* texture = find(material, chunk_type::Texture);
            g.materialNames.push_back(texture ? string(child(*texture, 1, chunk_type::String)) : "");
            if (const ChunkNode* ext = find(material, chunk_type::Extension); ext && find(*ext, chunk_type::Reflection))
                g.hasReflection = true;
        }
    }

    void readExtension(const ChunkNode& ext, DffGeometry& g) const {
        g.hasMeshExtension = find(ext, 0x0253F2FD) != nullptr;
        if (const ChunkNode* bin = find(ext, chunk_type::BinMesh)) {
            const ByteReader b = content(*bin);
            const uint32_t meshes = b.u32(4, "mesh count");
            records(b, 12, meshes, 8, "meshes"); // each at least its two counts
            int64_t at = 12;
            const bool indexed = (g.format & kNative) == 0;
            for (uint32_t i = 0; i < meshes; ++i) {
                const uint32_t count = b.u32(at, "mesh index count"), material = b.u32(at + 4, "mesh material");
                at += 8;
                std::vector<uint32_t> indices;
                if (indexed) {
                    indices = recordsAs<uint32_t>(b, at, count, "mesh indices");
                    at += int64_t(count) * 4;
                }
                g.binMeshes.emplace_back(material, std::move(indices));
            }
            if (indexed && at != int64_t(b.size())) {
                throw VeldrinError(b.what() + ": its meshes end at " + std::to_string(at) + " of its " + std::to_string(b.size()) + " bytes");
            }
        }
        if (const ChunkNode* night = find(ext, chunk_type::NightColours)) {
            const ByteReader n = content(*night);
            g.nightHeader = n.u32(0, "night colour header");
            g.night = recordsAs<std::array<uint8_t, 4>>(n, 4, g.vertexCount, "night colours");
        }
    }

    DffGeometry geometry(const ChunkNode& node, uint32_t version) const {
        DffGeometry g;
        readStruct(child(node, 0, chunk_type::Struct), version, g);
        readMaterials(child(node, 1, chunk_type::MaterialList), g);
        if (const ChunkNode* ext = find(node, chunk_type::Extension)) readExtension(*ext, g);
        return g;
    }

    DffAtomic atomic(const ChunkNode& node) const {
        const ByteReader s = content(child(node, 0, chunk_type::Struct));
        DffAtomic a{s.u32(0, "frame index"), s.u32(4, "geometry index"), s.u32(8, "flags"), false};
        if (const ChunkNode* ext = find(node, chunk_type::Extension)) a.hasMaterialEffects = find(*ext, 0x120) != nullptr;
        return a;
    }

private:
    std::span<const uint8_t> file_;
    std::string what_;
};

} // namespace

DffModel readDff(std::span<const uint8_t> file, const std::string& what) {
    DffModel model;
    model.root = readRootChunk(file, what);
    const ChunkNode& clump = model.root;
    if (clump.type != chunk_type::Clump) throw VeldrinError(what + ": the file starts with " + describeChunk(clump) + ", not a Clump");
    model.stamp = clump.stamp;
    const ModelReader r(file, what);
    const uint32_t version = libraryVersionNumber(clump.stamp);
    for (const ChunkNode& c : clump.children) {
        if (c.type == chunk_type::FrameList) model.frameNames = r.frameNames(c);
        if (c.type == chunk_type::GeometryList) {
            for (const ChunkNode& g : c.children) {
                if (g.type == chunk_type::Geometry) model.geometries.push_back(r.geometry(g, version));
            }
        }
        if (c.type == chunk_type::Atomic) model.atomics.push_back(r.atomic(c));
    }
    return model;
}

} // namespace veldrin::inspect
