// The high-quality block encoder: endpoints fitted to the block's colours. It starts from the
// colours' principal axis, refits the endpoints to the chosen indices by least squares, and then
// moves single 565 steps while the block's error (measured with the decoder's own integer palette)
// falls. DXT1 blocks try the three-colour palette as well when that is lower; blocks with transparent
// texels must use it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "imaging/BlockRows.h"
#include "imaging/Dxt.h"
#include "imaging/LittleEndian.h"

namespace veldrin {

namespace {

struct BlockColours {
    std::array<Rgb, 16> texels;
    std::array<bool, 16> transparent{}; // DXT1 texels below alpha 128: index 3, not fitted
    int opaqueCount = 0;
    bool anyTransparent = false;
};

struct Candidate {
    uint16_t colour0 = 0, colour1 = 0;
    uint32_t indices = 0;
    int64_t error = INT64_MAX;
};

int32_t distance(const Rgb& x, const Rgb& y) {
    const int32_t dr = x.r - y.r, dg = x.g - y.g, db = x.b - y.b;
    return dr * dr + dg * dg + db * db;
}

// The palette a decoder builds for these endpoints: four colours when colour0 > colour1 (or always,
// for DXT3), else three.
int paletteOf(uint16_t colour0, uint16_t colour1, bool fourAlways, std::array<Rgb, 4>& palette) {
    const Rgb e0 = expandColour565(colour0), e1 = expandColour565(colour1);
    palette[0] = e0;
    palette[1] = e1;
    if (fourAlways || colour0 > colour1) {
        palette[2] = {(2 * e0.r + e1.r + 1) / 3, (2 * e0.g + e1.g + 1) / 3, (2 * e0.b + e1.b + 1) / 3};
        palette[3] = {(e0.r + 2 * e1.r + 1) / 3, (e0.g + 2 * e1.g + 1) / 3, (e0.b + 2 * e1.b + 1) / 3};
        return 4;
    }
    palette[2] = {(e0.r + e1.r) >> 1, (e0.g + e1.g) >> 1, (e0.b + e1.b) >> 1};
    return 3;
}

// Scores the endpoints in the given order; stops early once the error passes `limit`.
Candidate score(const BlockColours& block, uint16_t colour0, uint16_t colour1, bool dxt3, int64_t limit) {
    std::array<Rgb, 4> palette;
    const int entries = paletteOf(colour0, colour1, dxt3, palette);
    Candidate candidate{colour0, colour1, 0, 0};
    for (int k = 0; k < 16; ++k) {
        uint32_t index = 3;
        if (!block.transparent[k]) {
            int32_t nearest = distance(block.texels[k], palette[0]);
            index = 0;
            for (int p = 1; p < entries; ++p) {
                const int32_t d = distance(block.texels[k], palette[p]);
                if (d < nearest) {
                    nearest = d;
                    index = static_cast<uint32_t>(p);
                }
            }
            candidate.error += nearest;
            if (candidate.error >= limit) return Candidate{};
        }
        candidate.indices |= index << (2 * k);
    }
    return candidate;
}

// The better of the endpoints' usable orders: DXT1 blocks with transparent texels need the
// three-colour order, DXT3 blocks always decode four colours, opaque DXT1 blocks may take either.
Candidate bestOrder(const BlockColours& block, uint16_t a, uint16_t b, bool dxt3, int64_t limit) {
    const uint16_t high = std::max(a, b), low = std::min(a, b);
    if (dxt3) return score(block, high, low, true, limit);
    if (block.anyTransparent || high == low) return score(block, low, high, false, limit);
    Candidate four = score(block, high, low, false, limit);
    Candidate three = score(block, low, high, false, std::min(limit, four.error));
    return three.error < four.error ? three : four;
}

struct Vec3 {
    double r = 0, g = 0, b = 0;
};

uint16_t quantise(const Vec3& c) {
    const auto level = [](double value, int32_t top) {
        return static_cast<int32_t>(std::clamp(std::lround(value * top / 255.0), 0L, static_cast<long>(top)));
    };
    return static_cast<uint16_t>((level(c.r, 31) << 11) | (level(c.g, 63) << 5) | level(c.b, 31));
}

// Endpoints along the principal axis of the opaque colours, at the extreme projections.
std::array<Vec3, 2> principalEndpoints(const BlockColours& block) {
    Vec3 mean;
    for (int k = 0; k < 16; ++k)
        if (!block.transparent[k]) {
            mean.r += block.texels[k].r;
            mean.g += block.texels[k].g;
            mean.b += block.texels[k].b;
        }
    const double n = block.opaqueCount;
    mean = {mean.r / n, mean.g / n, mean.b / n};
    double c[6] = {0, 0, 0, 0, 0, 0}; // rr rg rb gg gb bb
    for (int k = 0; k < 16; ++k) {
        if (block.transparent[k]) continue;
        const double r = block.texels[k].r - mean.r, g = block.texels[k].g - mean.g, b = block.texels[k].b - mean.b;
        c[0] += r * r, c[1] += r * g, c[2] += r * b, c[3] += g * g, c[4] += g * b, c[5] += b * b;
    }
    Vec3 axis{1, 1, 1};
    for (int i = 0; i < 8; ++i) {
        const Vec3 next{c[0] * axis.r + c[1] * axis.g + c[2] * axis.b, c[1] * axis.r + c[3] * axis.g + c[4] * axis.b,
                        c[2] * axis.r + c[4] * axis.g + c[5] * axis.b};
        const double length = std::max({std::fabs(next.r), std::fabs(next.g), std::fabs(next.b)});
        if (length == 0) break;
        axis = {next.r / length, next.g / length, next.b / length};
    }
    double lowest = 0, highest = 0;
    bool first = true;
    for (int k = 0; k < 16; ++k) {
        if (block.transparent[k]) continue;
        const double t = (block.texels[k].r - mean.r) * axis.r + (block.texels[k].g - mean.g) * axis.g +
                         (block.texels[k].b - mean.b) * axis.b;
        lowest = first ? t : std::min(lowest, t);
        highest = first ? t : std::max(highest, t);
        first = false;
    }
    const double norm = axis.r * axis.r + axis.g * axis.g + axis.b * axis.b;
    const double low = norm > 0 ? lowest / norm : 0, high = norm > 0 ? highest / norm : 0;
    return {Vec3{mean.r + axis.r * low, mean.g + axis.g * low, mean.b + axis.b * low},
            Vec3{mean.r + axis.r * high, mean.g + axis.g * high, mean.b + axis.b * high}};
}

// Least-squares endpoints for the candidate's indices (each index stands for a fixed blend of the two
// endpoints). Returns false when the blends leave the system singular (all texels on one index).
bool refit(const BlockColours& block, const Candidate& candidate, bool dxt3, std::array<Vec3, 2>& endpoints) {
    const bool four = dxt3 || candidate.colour0 > candidate.colour1;
    double aa = 0, ab = 0, bb = 0;
    Vec3 ax, bx;
    for (int k = 0; k < 16; ++k) {
        if (block.transparent[k]) continue;
        const uint32_t index = (candidate.indices >> (2 * k)) & 3;
        double alpha = 0;
        switch (index) {
        case 0: alpha = 1; break;
        case 1: alpha = 0; break;
        case 2: alpha = four ? 2.0 / 3 : 0.5; break;
        default: alpha = 1.0 / 3; break;
        }
        const double beta = 1 - alpha;
        const Rgb& x = block.texels[k];
        aa += alpha * alpha, ab += alpha * beta, bb += beta * beta;
        ax.r += alpha * x.r, ax.g += alpha * x.g, ax.b += alpha * x.b;
        bx.r += beta * x.r, bx.g += beta * x.g, bx.b += beta * x.b;
    }
    const double determinant = aa * bb - ab * ab;
    if (std::fabs(determinant) < 1e-9) return false;
    const auto solve = [&](double p, double q) {
        return std::array<double, 2>{(p * bb - q * ab) / determinant, (q * aa - p * ab) / determinant};
    };
    const auto r = solve(ax.r, bx.r), g = solve(ax.g, bx.g), b = solve(ax.b, bx.b);
    endpoints = {Vec3{r[0], g[0], b[0]}, Vec3{r[1], g[1], b[1]}};
    return true;
}

// One 565 step up or down in one channel of one endpoint, or false at the channel's limit.
bool step(uint16_t colour, int channel, int direction, uint16_t& stepped) {
    static constexpr int kShift[3] = {11, 5, 0};
    static constexpr int kTop[3] = {31, 63, 31};
    const int value = (colour >> kShift[channel]) & kTop[channel];
    const int next = value + direction;
    if (next < 0 || next > kTop[channel]) return false;
    stepped = static_cast<uint16_t>((colour & ~(kTop[channel] << kShift[channel])) | (next << kShift[channel]));
    return true;
}

Candidate encodeHigh(const BlockColours& block, bool dxt3, const uint8_t* texels) {
    if (block.opaqueCount == 0) return bestOrder(block, 0, 0, dxt3, INT64_MAX);
    // Start from the better of the principal axis and the exact encoder's farthest pair.
    const auto axisEnds = principalEndpoints(block);
    Candidate best = bestOrder(block, quantise(axisEnds[0]), quantise(axisEnds[1]), dxt3, INT64_MAX);
    const auto exact = encodeBlockDxt1(texels);
    const Candidate farthest = bestOrder(block, loadU16(exact.data()), loadU16(exact.data() + 2), dxt3, best.error);
    if (farthest.error < best.error) best = farthest;

    for (int round = 0; round < 2 && best.error > 0; ++round) {
        std::array<Vec3, 2> fitted;
        if (!refit(block, best, dxt3, fitted)) break;
        const Candidate refitted = bestOrder(block, quantise(fitted[0]), quantise(fitted[1]), dxt3, best.error);
        if (refitted.error >= best.error) break;
        best = refitted;
    }
    // Single steps of either endpoint while they lower the error.
    for (int pass = 0; pass < 16 && best.error > 0; ++pass) {
        bool improved = false;
        for (int end = 0; end < 2; ++end)
            for (int channel = 0; channel < 3; ++channel)
                for (const int direction : {-1, 1}) {
                    uint16_t ends[2] = {best.colour0, best.colour1};
                    if (!step(ends[end], channel, direction, ends[end])) continue;
                    const Candidate moved = bestOrder(block, ends[0], ends[1], dxt3, best.error);
                    if (moved.error < best.error) {
                        best = moved;
                        improved = true;
                    }
                }
        if (!improved) break;
    }
    return best;
}

} // namespace

void encodeBlockRowHigh(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out) {
    uint8_t texels[64];
    for (int64_t bx = 0; bx < count; ++bx) {
        for (int row = 0; row < 4; ++row) std::copy_n(rows + row * pitch + bx * 16, 16, texels + 16 * row);
        BlockColours block;
        for (int k = 0; k < 16; ++k) {
            const uint8_t* t = texels + 4 * k;
            block.texels[k] = {t[2], t[1], t[0]};
            block.transparent[k] = !dxt3 && t[3] < 128;
            block.anyTransparent = block.anyTransparent || block.transparent[k];
            block.opaqueCount += block.transparent[k] ? 0 : 1;
        }
        if (dxt3) {
            encodeAlphaNibbles(texels, out);
            out += 8;
        }
        const Candidate best = encodeHigh(block, dxt3, texels);
        storeU16(out, best.colour0);
        storeU16(out + 2, best.colour1);
        storeU32(out + 4, best.indices);
        out += 8;
    }
}

} // namespace veldrin
