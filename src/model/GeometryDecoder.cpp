#include "model/GeometryDecoder.h"

#include "base/ByteReader.h"
#include "base/Error.h"
#include "internal/HalfFloat.h"

namespace veldrin {

namespace {

constexpr int64_t kPs2HeaderSize = 4;
constexpr int64_t kPspHeaderSize = 8;
constexpr int64_t kPspVertexSize = 10;
constexpr int64_t kPs2TrailerBytes = 16; // the end of a PS2 material's data holds no batch
constexpr int64_t kPs2BatchHeaderSize = 52;

int64_t pspRecordSize(GameVersion edition, uint8_t headerByte7) {
    if (edition == GameVersion::LcsPsp) return (headerByte7 >> 4) == 0 ? 10 : 24;
    return 24;
}

int64_t recordSize(GameVersion edition) {
    return edition == GameVersion::LcsPs2 ? 22 : 24;
}

std::string partLabel(const std::string& label, bool second, int64_t position) {
    return label + ", " + (second ? "second" : "first") + " geometry part at position " + std::to_string(position);
}

// Reads one part's records and appends them to `out`, their data offsets laid out from the part's data start.
void readPartRecords(std::span<const uint8_t> level, int64_t part, bool second, GameVersion edition,
                     const std::string& label, std::vector<ModelMaterial>& out) {
    const ByteReader r(level, partLabel(label, second, part));
    const int64_t count = r.u16(part, "material count");
    if (count == 0) return;

    int64_t recordsStart = 0, dataStart = 0, size = 0;
    if (isPs2(edition)) {
        size = recordSize(edition);
        recordsStart = part + kPs2HeaderSize;
        dataStart = recordsStart + r.u16(part + 2, "material table size");
    } else {
        size = pspRecordSize(edition, r.u8(part + 7, "header record-size byte"));
        recordsStart = part + kPspHeaderSize;
        // The vertex data follows the records directly.
        dataStart = recordsStart + count * size;
    }
    r.require(recordsStart, count * size, "material records");

    // Every record lies inside the level (checked above) and is at least 10 bytes long, past every
    // field read here: the fields are loaded without a check each.
    int64_t dataOffset = dataStart;
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* at = level.data() + recordsStart + i * size;
        ModelMaterial m;
        switch (edition) {
        case GameVersion::LcsPs2:
            m.textureId = static_cast<int16_t>(loadU16(at));
            m.dataSize = loadU16(at + 2) & 0x7FFF;
            m.uScale = halfToFloat(loadU16(at + 4));
            m.vScale = halfToFloat(loadU16(at + 6));
            break;
        case GameVersion::VcsPs2:
            m.dataSize = static_cast<int32_t>(loadU32(at)) / 2;
            m.textureId = static_cast<int16_t>(loadU16(at + 4));
            m.uScale = halfToFloat(loadU16(at + 6));
            m.vScale = halfToFloat(loadU16(at + 8));
            if (m.dataSize < 0) {
                throw VeldrinError(r.what() + ": material " + std::to_string(i) + " has a negative data size (" +
                                   std::to_string(m.dataSize) + ")");
            }
            break;
        case GameVersion::LcsPsp:
        case GameVersion::VcsPsp:
            m.textureId = static_cast<int16_t>(loadU16(at));
            m.dataSize = (loadU16(at + 2) & 0x7FFF) * kPspVertexSize;
            m.uScale = halfToFloat(loadU16(at + 4));
            m.vScale = halfToFloat(loadU16(at + 6));
            break;
        }
        m.dataOffset = dataOffset;
        dataOffset += m.dataSize;
        out.push_back(m);
    }
}

float scaledCoordinate(uint8_t raw, float scale) {
    return static_cast<float>(raw / 128.0 * static_cast<double>(scale));
}

// PS2: a run of batches, each with N positions, texture coordinates and colours in separate padded blocks.
// Calls onBatch(at, n, positions, coordinates, colours) for each batch, after checking that it lies inside
// the level and inside its material's data.
template <typename OnBatch>
void walkPs2Batches(const ByteReader& r, const ModelMaterial& m, OnBatch&& onBatch) {
    const int64_t end = m.dataOffset + m.dataSize - kPs2TrailerBytes;
    int64_t at = m.dataOffset;
    while (at < end) {
        const int64_t n = r.i32(at + 12, "batch vertex count");
        if (n < 0) {
            throw VeldrinError(r.what() + ": batch at position " + std::to_string(at) + " has a negative vertex count (" +
                               std::to_string(n) + ")");
        }
        const int64_t positions = at + kPs2BatchHeaderSize;
        const int64_t coordinates = positions + 6 * n + (6 * n) % 4 + 32;
        const int64_t colours = coordinates + 2 * n + (2 * n) % 4 + 4;
        const int64_t next = colours + 2 * n + (2 * n) % 4 + 4;
        // A batch may not reach past its material's data: overlapping materials could otherwise decode the
        // same bytes over and over.
        if (next > m.dataOffset + m.dataSize) {
            throw VeldrinError(r.what() + ": batch at position " + std::to_string(at) + " with " + std::to_string(n) +
                               " vertices runs past the end of its material's data (position " +
                               std::to_string(m.dataOffset + m.dataSize) + ")");
        }
        r.require(at, next - at, "vertex batch");
        onBatch(n, positions, coordinates, colours);
        at = next; // always at least 92 bytes further on, so the loop ends
    }
}

void decodePs2Strip(const ByteReader& r, ModelMaterial& m, std::vector<ModelVertex>& out) {
    const uint8_t* p = r.bytes().data();
    walkPs2Batches(r, m, [&](int64_t n, int64_t positions, int64_t coordinates, int64_t colours) {
        for (int64_t i = 0; i < n; ++i) {
            ModelVertex v;
            const uint8_t* pos = p + positions + 6 * i;
            v.position = {static_cast<int16_t>(loadU16(pos)), static_cast<int16_t>(loadU16(pos + 2)),
                          static_cast<int16_t>(loadU16(pos + 4))};
            v.u = scaledCoordinate(p[coordinates + 2 * i], m.uScale);
            v.v = scaledCoordinate(p[coordinates + 2 * i + 1], m.vScale);
            v.colour = loadU16(p + colours + 2 * i);
            out.push_back(v);
        }
        m.vertexCount += static_cast<uint32_t>(n);
    });
}

// PSP: interleaved 10-byte vertices: u, v, colour, x, y, z.
void decodePspStrip(const ByteReader& r, ModelMaterial& m, std::vector<ModelVertex>& out) {
    const int64_t n = m.dataSize / kPspVertexSize;
    const uint8_t* p = r.slice(m.dataOffset, n * kPspVertexSize, "vertex data").data();
    for (int64_t i = 0; i < n; ++i, p += kPspVertexSize) {
        ModelVertex v;
        v.u = scaledCoordinate(p[0], m.uScale);
        v.v = scaledCoordinate(p[1], m.vScale);
        v.colour = loadU16(p + 2);
        v.position = {static_cast<int16_t>(loadU16(p + 4)), static_cast<int16_t>(loadU16(p + 6)),
                      static_cast<int16_t>(loadU16(p + 8))};
        out.push_back(v);
    }
    m.vertexCount = static_cast<uint32_t>(n);
}

} // namespace

std::vector<ModelMaterial> readMaterialRecords(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                               GameVersion edition, const std::string& label) {
    std::vector<ModelMaterial> materials;
    readPartRecords(level, firstPart, false, edition, label, materials);
    // A model whose first part has no materials has nothing to convert, whatever its second part holds.
    if (materials.empty()) return materials;
    if (secondPart != 0) readPartRecords(level, secondPart, true, edition, label, materials);
    return materials;
}

DecodedGeometry decodeGeometry(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                               GameVersion edition, const std::string& label) {
    DecodedGeometry g;
    g.materials = readMaterialRecords(level, firstPart, secondPart, edition, label);
    g.textureIds = distinctTextureIds(g.materials);
    for (std::size_t i = 0; i < g.materials.size(); ++i) {
        ModelMaterial& m = g.materials[i];
        const ByteReader r(level, label + ", material " + std::to_string(i));
        m.firstVertex = static_cast<uint32_t>(g.vertices.size());
        if (isPs2(edition)) {
            decodePs2Strip(r, m, g.vertices);
        } else {
            decodePspStrip(r, m, g.vertices);
        }
    }
    return g;
}

std::vector<ModelMaterial> checkGeometry(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                        GameVersion edition, const std::string& label) {
    std::vector<ModelMaterial> materials = readMaterialRecords(level, firstPart, secondPart, edition, label);
    for (std::size_t i = 0; i < materials.size(); ++i) {
        ModelMaterial& m = materials[i];
        const ByteReader r(level, label + ", material " + std::to_string(i));
        if (isPs2(edition)) {
            walkPs2Batches(r, m, [&](int64_t n, int64_t, int64_t, int64_t) { m.vertexCount += static_cast<uint32_t>(n); });
        } else {
            r.require(m.dataOffset, m.dataSize / kPspVertexSize * kPspVertexSize, "vertex data");
            m.vertexCount = static_cast<uint32_t>(m.dataSize / kPspVertexSize);
        }
    }
    return materials;
}

std::vector<int16_t> distinctTextureIds(const std::vector<ModelMaterial>& materials) {
    std::vector<int16_t> ids;
    std::vector<bool> seen(0x10000, false);
    for (const ModelMaterial& m : materials) {
        const auto key = static_cast<uint16_t>(m.textureId);
        if (!seen[key]) {
            seen[key] = true;
            ids.push_back(m.textureId);
        }
    }
    return ids;
}

int64_t vertexDataBytes(const std::vector<ModelMaterial>& materials, std::size_t levelSize) {
    const int64_t end = static_cast<int64_t>(levelSize);
    int64_t bytes = 0;
    for (const ModelMaterial& m : materials) {
        if (m.dataOffset < end) bytes += std::min(m.dataSize, end - m.dataOffset);
    }
    return bytes;
}

std::string sharedGeometryMessage(int64_t levelBytes) {
    return "The level's models name the same geometry over and over: more than " +
           std::to_string(geometryReadBound(levelBytes)) + " bytes of vertex data for a " + std::to_string(levelBytes) +
           "-byte level; the level is damaged";
}

} // namespace veldrin
