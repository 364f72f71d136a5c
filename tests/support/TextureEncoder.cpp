#include "support/TextureEncoder.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "base/ByteWriter.h"

namespace veldrin::test {
namespace {

constexpr uint8_t kFiller = 0xEE; // stored mip levels the converter must skip
constexpr uint8_t kClutOrder[8] = {0, 1, 4, 5, 2, 3, 6, 7};

int log2Of(int side) {
    if (side <= 0 || !std::has_single_bit(static_cast<unsigned>(side)) || side > 32768) {
        throw std::invalid_argument("test texture sides must be powers of two up to 32768");
    }
    return std::countr_zero(static_cast<unsigned>(side));
}

uint8_t texelOf(const TestTexture& t, int64_t x, int64_t y) {
    const auto i = static_cast<std::size_t>(y * t.width + x);
    return i < t.texels.size() ? t.texels[i] : 0;
}

// Packs a sequence of indices the consoles' way: 4-bit pairs with the first texel in the low nibble.
std::vector<uint8_t> packConsole(const std::vector<uint8_t>& indices, int depth) {
    if (depth == 8) return indices;
    std::vector<uint8_t> packed((indices.size() + 1) / 2, 0);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        packed[i / 2] |= static_cast<uint8_t>((indices[i] & 0x0F) << ((i % 2) * 4));
    }
    return packed;
}

std::vector<uint8_t> plainRow(const TestTexture& t, int64_t y) {
    std::vector<uint8_t> row(static_cast<std::size_t>(t.width));
    for (int64_t x = 0; x < t.width; ++x) row[static_cast<std::size_t>(x)] = texelOf(t, x, y);
    return row;
}

std::vector<uint8_t> plainIndices(const TestTexture& t) {
    std::vector<uint8_t> all;
    for (int64_t y = 0; y < t.height; ++y) {
        const auto row = plainRow(t, y);
        all.insert(all.end(), row.begin(), row.end());
    }
    return all;
}

// The console's swizzle: the inverse of the reordering in groups of four rows.
std::vector<uint8_t> swizzlePs2(const std::vector<uint8_t>& plain, int width, int height) {
    static constexpr uint8_t orderA[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    static constexpr uint8_t orderB[8] = {4, 5, 6, 7, 0, 1, 2, 3};
    std::vector<uint8_t> out(plain.size(), 0);
    const std::size_t w = static_cast<std::size_t>(width);
    for (int g = 0; g < height / 4; ++g) {
        const std::size_t base = 4 * static_cast<std::size_t>(g) * w;
        const uint8_t* p = g % 2 == 0 ? orderA : orderB;
        const uint8_t* q = g % 2 == 0 ? orderB : orderA;
        for (std::size_t k = 0; k < w / 8; ++k) {
            for (std::size_t i = 0; i < 8; ++i) {
                const std::size_t s = base + 32 * k + 4 * i;
                out[s] = plain[base + 16 * k + p[i]];
                out[s + 2] = plain[base + 16 * k + 8 + p[i]];
                out[s + 1] = plain[base + 2 * w + 16 * k + q[i]];
                out[s + 3] = plain[base + 2 * w + 16 * k + 8 + q[i]];
            }
        }
    }
    return out;
}

std::vector<uint8_t> ps2Level0(const TestTexture& t) {
    std::vector<uint8_t> indices = plainIndices(t);
    if (t.swizzled && t.width >= 8 && t.height >= 4) indices = swizzlePs2(indices, t.width, t.height);
    return packConsole(indices, t.depth);
}

std::vector<uint8_t> pspLevel0(const TestTexture& t) {
    const int64_t rowBytes = (int64_t{t.width} * t.depth + 7) / 8;
    std::vector<std::vector<uint8_t>> rows;
    for (int64_t y = 0; y < t.height; ++y) rows.push_back(packConsole(plainRow(t, y), t.depth));

    std::vector<uint8_t> out;
    if (rowBytes < 16) {
        for (auto& row : rows) {
            row.resize(16, 0); // one 16-byte pitch per row
            out.insert(out.end(), row.begin(), row.end());
        }
    } else if (t.height < 8) {
        for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
    } else {
        // Blocks of 16 bytes x 8 rows, left to right, then block row after block row.
        for (int64_t by = 0; by < t.height / 8; ++by) {
            for (int64_t bx = 0; bx < rowBytes / 16; ++bx) {
                for (int64_t r = 0; r < 8; ++r) {
                    const auto& row = rows[static_cast<std::size_t>(8 * by + r)];
                    out.insert(out.end(), row.begin() + 16 * bx, row.begin() + 16 * bx + 16);
                }
            }
        }
    }
    return out;
}

// Bytes of the stored levels that follow level 0, as the converter sizes them.
int64_t extraLevelBytes(GameVersion edition, const TestTexture& t) {
    int64_t total = 0;
    int64_t w = t.width, h = t.height;
    if (isPs2(edition)) {
        for (int level = 1; level < t.mipCount; ++level) {
            w /= 2;
            h /= 2;
            total += h * w * t.depth / 8;
        }
    } else {
        const int64_t minimum = 128 / t.depth;
        w = std::max(w, minimum);
        for (int level = 1; level < t.mipCount; ++level) {
            w = std::max(w / 2, minimum);
            h /= 2;
            total += h * w * t.depth / 8;
        }
    }
    return total;
}

int64_t level0PaletteOffset(GameVersion edition, const TestTexture& t) {
    if (isPs2(edition)) return int64_t{t.width} * t.height * t.depth / 8;
    return std::max<int64_t>(t.width, 128 / t.depth) * t.height * t.depth / 8;
}

std::vector<uint8_t> paletteBytes(GameVersion edition, const TestTexture& t) {
    const std::size_t entries = t.depth == 4 ? 16 : 256;
    std::vector<uint8_t> bytes(entries * 4, 0);
    for (std::size_t e = 0; e < entries && e < t.palette.size(); ++e) {
        std::copy(t.palette[e].begin(), t.palette[e].end(), bytes.begin() + static_cast<std::ptrdiff_t>(4 * e));
    }
    if (t.depth == 8 && isPs2(edition)) {
        // The PS2 block order exchanges entries 8-15 and 16-23 of every 32; the exchange is its own inverse.
        const std::vector<uint8_t> linear = bytes;
        for (std::size_t g = 0; g < bytes.size(); g += 128) {
            for (std::size_t i = 0; i < 8; ++i) {
                std::copy_n(linear.begin() + static_cast<std::ptrdiff_t>(g + kClutOrder[i] * 16), 16,
                            bytes.begin() + static_cast<std::ptrdiff_t>(g + i * 16));
            }
        }
    }
    return bytes;
}

std::array<uint8_t, 4> rasterHeader(GameVersion edition, const TestTexture& t) {
    const int wl = log2Of(t.width), hl = log2Of(t.height);
    if (isPs2(edition)) {
        return {static_cast<uint8_t>(wl | ((hl & 3) << 6)), static_cast<uint8_t>((hl >> 2) | (t.depth << 4)),
                static_cast<uint8_t>(t.mipCount << 4), static_cast<uint8_t>(t.swizzled ? 1 : 0)};
    }
    const int depthNibble = t.depth == 4 ? 12 : 8; // values above 10 carry an extra 8
    return {static_cast<uint8_t>(depthNibble | ((t.mipCount - 1) << 4)), static_cast<uint8_t>(wl | (hl << 4)), 0, 0};
}

} // namespace

std::vector<uint8_t> encodeTexture(GameVersion edition, const TestTexture& texture, uint32_t offsetFromBase) {
    if (texture.depth != 4 && texture.depth != 8) throw std::invalid_argument("test texture depth must be 4 or 8");
    if (texture.mipCount < 1 || texture.mipCount > (isPs2(edition) ? 15 : 11)) {
        throw std::invalid_argument("test texture mip count out of range");
    }
    const auto header = rasterHeader(edition, texture);
    const uint32_t recordSize = edition == GameVersion::VcsPs2 ? 16 : 8;
    const uint32_t dataOffset = (offsetFromBase + recordSize + 15) / 16 * 16;

    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    if (isPs2(edition)) {
        if (edition == GameVersion::VcsPs2) out.zeros(8);
        out.u32(dataOffset);
        out.bytes(header);
    } else {
        out.bytes(header);
        out.u32(dataOffset);
    }
    out.zeros(dataOffset - offsetFromBase - recordSize);

    const std::size_t dataStart = bytes.size();
    out.bytes(isPs2(edition) ? ps2Level0(texture) : pspLevel0(texture));
    const int64_t paletteOffset = level0PaletteOffset(edition, texture) + extraLevelBytes(edition, texture);
    const std::size_t paletteAt = dataStart + static_cast<std::size_t>(paletteOffset);
    if (bytes.size() < paletteAt) bytes.resize(paletteAt, kFiller);
    const auto palette = paletteBytes(edition, texture);
    if (bytes.size() < paletteAt + palette.size()) bytes.resize(paletteAt + palette.size());
    std::copy(palette.begin(), palette.end(), bytes.begin() + static_cast<std::ptrdiff_t>(paletteAt));
    return bytes;
}

} // namespace veldrin::test
