#include "support/ModelEncoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <string>

#include "base/ByteWriter.h"

namespace veldrin::test {

namespace {

constexpr int64_t kPs2TrailerBytes = 16; // the decoder stops 16 bytes before the end of a material's data

int64_t materialRecordSize(GameVersion edition, const TestModelPart& part) {
    switch (edition) {
    case GameVersion::LcsPs2: return 22;
    case GameVersion::VcsPs2: return 24;
    case GameVersion::LcsPsp: return part.lcsPspWideRecords ? 24 : 10;
    case GameVersion::VcsPsp: return 24;
    }
    return 24;
}

void writePs2Batch(ByteWriter& w, const TestVertex* first, int64_t n) {
    w.zeros(12);
    w.i32(static_cast<int32_t>(n));
    w.zeros(36);
    for (int64_t i = 0; i < n; ++i) {
        w.i16(first[i].x);
        w.i16(first[i].y);
        w.i16(first[i].z);
    }
    w.zeros(static_cast<std::size_t>((6 * n) % 4 + 32));
    for (int64_t i = 0; i < n; ++i) {
        w.u8(first[i].u);
        w.u8(first[i].v);
    }
    w.zeros(static_cast<std::size_t>((2 * n) % 4 + 4));
    for (int64_t i = 0; i < n; ++i) w.u16(first[i].colour);
    w.zeros(static_cast<std::size_t>((2 * n) % 4 + 4));
}

std::vector<uint8_t> ps2MaterialData(const TestMaterial& m) {
    ByteWriter w;
    const int64_t count = static_cast<int64_t>(m.strip.size());
    for (int64_t start = 0; start < count; start += kTestPs2BatchVertices) {
        writePs2Batch(w, m.strip.data() + start, std::min<int64_t>(kTestPs2BatchVertices, count - start));
    }
    w.zeros(kPs2TrailerBytes);
    return w.take();
}

std::vector<uint8_t> pspMaterialData(const TestMaterial& m) {
    ByteWriter w;
    for (const TestVertex& v : m.strip) {
        w.u8(v.u);
        w.u8(v.v);
        w.u16(v.colour);
        w.i16(v.x);
        w.i16(v.y);
        w.i16(v.z);
    }
    return w.take();
}

void requireFits(int64_t value, int64_t limit, const char* what) {
    if (value > limit) {
        throw std::length_error(std::string("model encoder: ") + what + " " + std::to_string(value) +
                                " does not fit its field (at most " + std::to_string(limit) + ")");
    }
}

} // namespace

int64_t ps2BatchSize(int64_t n) {
    return 52 + 6 * n + (6 * n) % 4 + 32 + 2 * n + (2 * n) % 4 + 4 + 2 * n + (2 * n) % 4 + 4;
}

uint16_t floatToHalfBits(float value) {
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    const uint16_t sign = static_cast<uint16_t>((bits >> 16) & 0x8000);
    const float magnitude = std::fabs(value);
    if (std::isnan(value)) return static_cast<uint16_t>(sign | 0x7E00);
    if (magnitude >= 65520.0f) return static_cast<uint16_t>(sign | 0x7C00); // rounds to infinity
    if (magnitude < 6.103515625e-05f) {
        // Subnormal half: units of 2^-24, rounded to nearest even.
        const float units = std::nearbyint(magnitude * 16777216.0f);
        return static_cast<uint16_t>(sign | static_cast<uint16_t>(units));
    }
    int exponent = 0;
    const float mantissa = std::frexp(magnitude, &exponent); // magnitude = mantissa * 2^exponent, mantissa in [0.5, 1)
    uint32_t fraction = static_cast<uint32_t>(std::nearbyint((mantissa * 2.0f - 1.0f) * 1024.0f));
    int biased = exponent - 1 + 15;
    if (fraction == 1024) {
        fraction = 0;
        ++biased;
    }
    return static_cast<uint16_t>(sign | (biased << 10) | fraction);
}

std::vector<uint8_t> encodeModelPart(GameVersion edition, const TestModelPart& part) {
    const int64_t count = static_cast<int64_t>(part.materials.size());
    requireFits(count, 0xFFFF, "material count");
    const int64_t recordSize = materialRecordSize(edition, part);

    std::vector<std::vector<uint8_t>> data;
    for (const TestMaterial& m : part.materials) {
        data.push_back(isPs2(edition) ? ps2MaterialData(m) : pspMaterialData(m));
    }

    ByteWriter w;
    w.u16(static_cast<uint16_t>(count));
    if (isPs2(edition)) {
        requireFits(count * recordSize, 0xFFFF, "material table size");
        w.u16(static_cast<uint16_t>(count * recordSize));
    } else {
        w.zeros(5);
        w.u8(edition == GameVersion::LcsPsp && part.lcsPspWideRecords ? 0x10 : 0x00);
    }

    for (std::size_t i = 0; i < part.materials.size(); ++i) {
        const TestMaterial& m = part.materials[i];
        const std::size_t recordStart = w.size();
        const uint16_t uHalf = floatToHalfBits(m.uScale), vHalf = floatToHalfBits(m.vScale);
        const int64_t dataSize = static_cast<int64_t>(data[i].size());
        switch (edition) {
        case GameVersion::LcsPs2:
            requireFits(dataSize, 0x7FFF, "LCS PS2 material data size");
            w.i16(m.textureId);
            w.u16(static_cast<uint16_t>(dataSize));
            w.u16(uHalf);
            w.u16(vHalf);
            break;
        case GameVersion::VcsPs2:
            requireFits(dataSize, 0x3FFFFFFF, "VCS PS2 material data size");
            w.i32(static_cast<int32_t>(dataSize * 2));
            w.i16(m.textureId);
            w.u16(uHalf);
            w.u16(vHalf);
            break;
        case GameVersion::LcsPsp:
        case GameVersion::VcsPsp:
            requireFits(static_cast<int64_t>(m.strip.size()), 0x7FFF, "PSP material vertex count");
            w.i16(m.textureId);
            w.u16(static_cast<uint16_t>(m.strip.size()));
            w.u16(uHalf);
            w.u16(vHalf);
            break;
        }
        w.zeros(recordStart + static_cast<std::size_t>(recordSize) - w.size());
    }

    for (const auto& d : data) w.bytes(d);
    return w.take();
}

} // namespace veldrin::test
