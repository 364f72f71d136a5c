// The exact block encoder in vector lanes: each lane encodes its own block with exactly the choices of
// the plain encoder in Dxt.cpp (farthest pair in order of i then j, endpoint order, integer palette,
// lowest index on equal distance), so the bytes never depend on the machine. Compiled once per vector
// target; the best target the machine runs is chosen when the encoder is first called.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "DxtVector.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "internal/BlockRows.h"
#include "internal/Dxt.h"
#include "internal/DxtDivisions.h"
#include "internal/LittleEndian.h"

HWY_BEFORE_NAMESPACE();
namespace veldrin {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

namespace {

using D32 = hn::ScalableTag<int32_t>;
using V32 = hn::Vec<D32>;

// x * multiplier >> shift, the division of DxtDivisions.h.
template <int32_t Multiplier, int Shift>
V32 divideExactly(D32 d, V32 x) {
    return hn::ShiftRight<Shift>(hn::Mul(x, hn::Set(d, Multiplier)));
}

V32 expand5(D32 d, V32 x) {
    return divideExactly<kDivideBy31.multiplier, kDivideBy31.shift>(d, hn::Mul(x, hn::Set(d, 255)));
}

V32 expand6(D32 d, V32 x) {
    return divideExactly<kDivideBy63.multiplier, kDivideBy63.shift>(d, hn::Mul(x, hn::Set(d, 255)));
}

// (2a + b + 1) / 3, the one-third point nearer to a.
V32 thirdPoint(D32 d, V32 a, V32 b) {
    const V32 sum = hn::Add(hn::Add(hn::Add(a, a), b), hn::Set(d, 1));
    return divideExactly<kDivideBy3.multiplier, kDivideBy3.shift>(d, sum);
}

V32 distance(V32 r0, V32 g0, V32 b0, V32 r1, V32 g1, V32 b1) {
    const V32 dr = hn::Sub(r0, r1), dg = hn::Sub(g0, g1), db = hn::Sub(b0, b1);
    return hn::Add(hn::Add(hn::Mul(dr, dr), hn::Mul(dg, dg)), hn::Mul(db, db));
}

// Encodes Lanes(d) blocks side by side; `rows` holds their texels (four rows, `pitch` bytes apart).
// Writes the colour halves into `colour0`, `colour1` and `indices`, one lane per block.
void encodeGroup(const uint8_t* rows, int64_t pitch, bool dxt1, int32_t* colour0, int32_t* colour1,
                 uint32_t* indices) {
    const D32 d;
    const hn::RebindToUnsigned<D32> du;
    V32 red[16], green[16], blue[16], alpha[16];
    for (int row = 0; row < 4; ++row) {
        hn::Vec<decltype(du)> column[4];
        hn::LoadInterleaved4(du, reinterpret_cast<const uint32_t*>(rows + row * pitch), column[0], column[1],
                             column[2], column[3]);
        for (int c = 0; c < 4; ++c) {
            const int k = 4 * row + c;
            const V32 texel = hn::BitCast(d, column[c]);
            const V32 byteMask = hn::Set(d, 0xFF);
            blue[k] = hn::And(texel, byteMask);
            green[k] = hn::And(hn::ShiftRight<8>(texel), byteMask);
            red[k] = hn::And(hn::ShiftRight<16>(texel), byteMask);
            alpha[k] = hn::BitCast(d, hn::ShiftRight<24>(column[c]));
        }
    }

    auto transparent = hn::FirstN(d, 0);
    if (dxt1)
        for (int k = 0; k < 16; ++k) transparent = hn::Or(transparent, hn::Lt(alpha[k], hn::Set(d, 128)));

    // Farthest pair; a pair replaces the one found only with a strictly larger distance.
    V32 best = hn::Set(d, -1), pair = hn::Set(d, 1);
    for (int i = 0; i < 16; ++i)
        for (int j = i + 1; j < 16; ++j) {
            const V32 dist = distance(red[i], green[i], blue[i], red[j], green[j], blue[j]);
            const auto larger = hn::Gt(dist, best);
            best = hn::IfThenElse(larger, dist, best);
            pair = hn::IfThenElse(larger, hn::Set(d, i * 16 + j), pair);
        }
    const V32 first = hn::ShiftRight<4>(pair), second = hn::And(pair, hn::Set(d, 15));
    V32 c0 = hn::Zero(d), c1 = hn::Zero(d);
    for (int k = 0; k < 16; ++k) {
        const V32 packed = hn::Or(hn::Or(hn::ShiftLeft<11>(hn::ShiftRight<3>(red[k])),
                                         hn::ShiftLeft<5>(hn::ShiftRight<2>(green[k]))),
                                  hn::ShiftRight<3>(blue[k]));
        c0 = hn::IfThenElse(hn::Eq(first, hn::Set(d, k)), packed, c0);
        c1 = hn::IfThenElse(hn::Eq(second, hn::Set(d, k)), packed, c1);
    }
    // The endpoint order tells a decoder which palette the block uses.
    const auto swap = hn::Or(hn::And(transparent, hn::Gt(c0, c1)), hn::AndNot(transparent, hn::Lt(c0, c1)));
    const V32 low = hn::IfThenElse(swap, c1, c0), high = hn::IfThenElse(swap, c0, c1);
    c0 = low;
    c1 = high;

    const V32 r0 = expand5(d, hn::ShiftRight<11>(c0)), r1 = expand5(d, hn::ShiftRight<11>(c1));
    const V32 g0 = expand6(d, hn::And(hn::ShiftRight<5>(c0), hn::Set(d, 63)));
    const V32 g1 = expand6(d, hn::And(hn::ShiftRight<5>(c1), hn::Set(d, 63)));
    const V32 b0 = expand5(d, hn::And(c0, hn::Set(d, 31))), b1 = expand5(d, hn::And(c1, hn::Set(d, 31)));
    // Palette entry 2 is the halfway point in three-colour blocks; entry 3 is then never chosen.
    const V32 r2 = hn::IfThenElse(transparent, hn::ShiftRight<1>(hn::Add(r0, r1)), thirdPoint(d, r0, r1));
    const V32 g2 = hn::IfThenElse(transparent, hn::ShiftRight<1>(hn::Add(g0, g1)), thirdPoint(d, g0, g1));
    const V32 b2 = hn::IfThenElse(transparent, hn::ShiftRight<1>(hn::Add(b0, b1)), thirdPoint(d, b0, b1));
    const V32 r3 = thirdPoint(d, r1, r0), g3 = thirdPoint(d, g1, g0), b3 = thirdPoint(d, b1, b0);

    const hn::Vec<decltype(du)> zero = hn::Zero(du);
    hn::Vec<decltype(du)> word = zero;
    for (int k = 0; k < 16; ++k) {
        V32 nearest = distance(red[k], green[k], blue[k], r0, g0, b0);
        V32 index = hn::Zero(d);
        const V32 d1 = distance(red[k], green[k], blue[k], r1, g1, b1);
        auto closer = hn::Lt(d1, nearest);
        nearest = hn::IfThenElse(closer, d1, nearest);
        index = hn::IfThenElse(closer, hn::Set(d, 1), index);
        const V32 d2 = distance(red[k], green[k], blue[k], r2, g2, b2);
        closer = hn::Lt(d2, nearest);
        nearest = hn::IfThenElse(closer, d2, nearest);
        index = hn::IfThenElse(closer, hn::Set(d, 2), index);
        const V32 d3 = distance(red[k], green[k], blue[k], r3, g3, b3);
        closer = hn::AndNot(transparent, hn::Lt(d3, nearest));
        index = hn::IfThenElse(closer, hn::Set(d, 3), index);
        // Transparent texels of a three-colour block take index 3.
        index = hn::IfThenElse(hn::And(transparent, hn::Lt(alpha[k], hn::Set(d, 128))), hn::Set(d, 3), index);
        word = hn::Or(word, hn::ShiftLeftSame(hn::BitCast(du, index), 2 * k));
    }
    hn::StoreU(c0, d, colour0);
    hn::StoreU(c1, d, colour1);
    hn::StoreU(word, du, indices);
}

} // namespace

void encodeBlockRowExactLanes(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out) {
    const D32 d;
    const int64_t lanes = static_cast<int64_t>(hn::Lanes(d));
    const int64_t blockBytes = dxt3 ? 16 : 8;
    std::vector<int32_t> colour0(static_cast<std::size_t>(lanes)), colour1(colour0.size());
    std::vector<uint32_t> indices(colour0.size());
    std::vector<uint8_t> tail;
    for (int64_t bx = 0; bx < count; bx += lanes) {
        const int64_t blocks = std::min(lanes, count - bx);
        const uint8_t* group = rows + bx * 16;
        int64_t groupPitch = pitch;
        if (blocks < lanes) {
            // The last blocks of the row, copied into a full group; the padding lanes are not written.
            tail.assign(static_cast<std::size_t>(4 * lanes * 16), 0);
            for (int row = 0; row < 4; ++row)
                std::copy_n(group + row * pitch, blocks * 16, tail.data() + row * lanes * 16);
            group = tail.data();
            groupPitch = lanes * 16;
        }
        encodeGroup(group, groupPitch, !dxt3, colour0.data(), colour1.data(), indices.data());
        for (int64_t n = 0; n < blocks; ++n) {
            uint8_t* block = out + (bx + n) * blockBytes;
            if (dxt3) {
                uint8_t texels[64];
                for (int row = 0; row < 4; ++row) std::copy_n(group + row * groupPitch + n * 16, 16, texels + 16 * row);
                encodeAlphaNibbles(texels, block);
                block += 8;
            }
            storeU16(block, static_cast<uint16_t>(colour0[static_cast<std::size_t>(n)]));
            storeU16(block + 2, static_cast<uint16_t>(colour1[static_cast<std::size_t>(n)]));
            storeU32(block + 4, indices[static_cast<std::size_t>(n)]);
        }
    }
}

} // namespace HWY_NAMESPACE
} // namespace veldrin
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace veldrin {

HWY_EXPORT(encodeBlockRowExactLanes);

void encodeBlockRowExact(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(encodeBlockRowExactLanes)(rows, pitch, count, dxt3, out);
}

} // namespace veldrin
#endif
