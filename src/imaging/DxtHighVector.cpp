// The high-quality block encoder, one block per vector lane: endpoints fitted to the block's colours.
// It starts from the opaque colours' principal axis, the farthest pair and, where those leave the block
// rough or it has cut-out texels, the best split of the colours along the axis into the palette's
// clusters; it refits the endpoints to the chosen indices by least squares, then moves single 565
// steps while the block's error falls. Errors are measured with
// the decoder's own integer palette. Every value the choices depend on is an integer or comes from
// plain float adds, multiplies and divides (no fused operations), so every target gives the same bytes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "DxtHighVector.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <array>
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

using DI = hn::ScalableTag<int32_t>;
using DF = hn::Rebind<float, DI>;
using VI = hn::Vec<DI>;
using VF = hn::Vec<DF>;
using MI = hn::Mask<DI>;

template <int32_t Multiplier, int Shift>
VI divide(DI d, VI x) {
    return hn::ShiftRight<Shift>(hn::Mul(x, hn::Set(d, Multiplier)));
}

VI thirdPoint(DI d, VI a, VI b) {
    return divide<kDivideBy3.multiplier, kDivideBy3.shift>(d, hn::Add(hn::Add(hn::Add(a, a), b), hn::Set(d, 1)));
}

struct Lanes3 {
    VF r, g, b;
};

// The opaque texels of each lane's block, as floats (exact small integers).
struct Group {
    Lanes3 texel[16];
    MI transparent[16]; // DXT1 texels below alpha 128: index 3, left out of the fit
    MI anyTransparent;
    VF opaqueCount;
};

// A lane's endpoints in stored order, its index word and its error.
struct Fit {
    VI colour0, colour1;
    VI indices;
    VF error;
};

VF distance(const Lanes3& x, const Lanes3& y) {
    const VF dr = hn::Sub(x.r, y.r), dg = hn::Sub(x.g, y.g), db = hn::Sub(x.b, y.b);
    return hn::Add(hn::Add(hn::Mul(dr, dr), hn::Mul(dg, dg)), hn::Mul(db, db));
}

// Scores endpoints already in stored order. `four` lanes decode four colours; the others three.
Fit score(const Group& group, VI colour0, VI colour1, MI four) {
    const DI d;
    const DF df;
    const hn::RebindToUnsigned<DI> du;
    const VI e0r = divide<kDivideBy31.multiplier, kDivideBy31.shift>(d, hn::Mul(hn::ShiftRight<11>(colour0), hn::Set(d, 255)));
    const VI e1r = divide<kDivideBy31.multiplier, kDivideBy31.shift>(d, hn::Mul(hn::ShiftRight<11>(colour1), hn::Set(d, 255)));
    const VI e0g = divide<kDivideBy63.multiplier, kDivideBy63.shift>(d, hn::Mul(hn::And(hn::ShiftRight<5>(colour0), hn::Set(d, 63)), hn::Set(d, 255)));
    const VI e1g = divide<kDivideBy63.multiplier, kDivideBy63.shift>(d, hn::Mul(hn::And(hn::ShiftRight<5>(colour1), hn::Set(d, 63)), hn::Set(d, 255)));
    const VI e0b = divide<kDivideBy31.multiplier, kDivideBy31.shift>(d, hn::Mul(hn::And(colour0, hn::Set(d, 31)), hn::Set(d, 255)));
    const VI e1b = divide<kDivideBy31.multiplier, kDivideBy31.shift>(d, hn::Mul(hn::And(colour1, hn::Set(d, 31)), hn::Set(d, 255)));
    const auto toFloat = [&](VI v) { return hn::ConvertTo(df, v); };
    const Lanes3 p0{toFloat(e0r), toFloat(e0g), toFloat(e0b)};
    const Lanes3 p1{toFloat(e1r), toFloat(e1g), toFloat(e1b)};
    const Lanes3 p2{toFloat(hn::IfThenElse(four, thirdPoint(d, e0r, e1r), hn::ShiftRight<1>(hn::Add(e0r, e1r)))),
                    toFloat(hn::IfThenElse(four, thirdPoint(d, e0g, e1g), hn::ShiftRight<1>(hn::Add(e0g, e1g)))),
                    toFloat(hn::IfThenElse(four, thirdPoint(d, e0b, e1b), hn::ShiftRight<1>(hn::Add(e0b, e1b))))};
    const Lanes3 p3{toFloat(thirdPoint(d, e1r, e0r)), toFloat(thirdPoint(d, e1g, e0g)), toFloat(thirdPoint(d, e1b, e0b))};
    const auto fourF = hn::RebindMask(df, four);

    VF error = hn::Zero(df);
    hn::Vec<decltype(du)> word = hn::Zero(du);
    for (int k = 0; k < 16; ++k) {
        const Lanes3& x = group.texel[k];
        VF nearest = distance(x, p0);
        VI index = hn::Zero(d);
        const VF d1 = distance(x, p1);
        auto closer = hn::Lt(d1, nearest);
        nearest = hn::IfThenElse(closer, d1, nearest);
        index = hn::IfThenElse(hn::RebindMask(d, closer), hn::Set(d, 1), index);
        const VF d2 = distance(x, p2);
        closer = hn::Lt(d2, nearest);
        nearest = hn::IfThenElse(closer, d2, nearest);
        index = hn::IfThenElse(hn::RebindMask(d, closer), hn::Set(d, 2), index);
        const VF d3 = distance(x, p3);
        closer = hn::And(fourF, hn::Lt(d3, nearest));
        nearest = hn::IfThenElse(closer, d3, nearest);
        index = hn::IfThenElse(hn::RebindMask(d, closer), hn::Set(d, 3), index);
        index = hn::IfThenElse(group.transparent[k], hn::Set(d, 3), index);
        error = hn::Add(error, hn::IfThenZeroElse(hn::RebindMask(df, group.transparent[k]), nearest));
        word = hn::Or(word, hn::ShiftLeftSame(hn::BitCast(du, index), 2 * k));
    }
    return {colour0, colour1, hn::BitCast(d, word), error};
}

// The endpoints a and b scored in the order each lane can use: three colours (smaller first) for
// DXT1 blocks with transparent texels or equal endpoints, four (larger first) otherwise.
Fit scoreEndpoints(const Group& group, VI a, VI b, bool dxt3) {
    const VI high = hn::Max(a, b), low = hn::Min(a, b);
    if (dxt3) return score(group, high, low, hn::Eq(a, a));
    const MI three = hn::Or(group.anyTransparent, hn::Eq(high, low));
    return score(group, hn::IfThenElse(three, low, high), hn::IfThenElse(three, high, low), hn::Not(three));
}

// Keeps the candidate's lanes whose error is lower.
void keepBetter(Fit& best, const Fit& candidate) {
    const DI d;
    const auto better = hn::RebindMask(d, hn::Lt(candidate.error, best.error));
    best.colour0 = hn::IfThenElse(better, candidate.colour0, best.colour0);
    best.colour1 = hn::IfThenElse(better, candidate.colour1, best.colour1);
    best.indices = hn::IfThenElse(better, candidate.indices, best.indices);
    best.error = hn::Min(candidate.error, best.error);
}

VI quantise(const Lanes3& c) {
    const DI d;
    const DF df;
    const auto level = [&](VF value, float top) {
        const VF scaled = hn::Add(hn::Div(hn::Mul(value, hn::Set(df, top)), hn::Set(df, 255.0f)), hn::Set(df, 0.5f));
        return hn::ConvertTo(d, hn::Min(hn::Max(scaled, hn::Zero(df)), hn::Set(df, top)));
    };
    return hn::Or(hn::Or(hn::ShiftLeft<11>(level(c.r, 31)), hn::ShiftLeft<5>(level(c.g, 63))), level(c.b, 31));
}

// Endpoints at the extreme projections of the opaque colours on their principal axis.
void principalEndpoints(const Group& group, Lanes3& low, Lanes3& high, Lanes3& axisOut) {
    const DF df;
    const VF zero = hn::Zero(df);
    Lanes3 mean{zero, zero, zero};
    for (int k = 0; k < 16; ++k) {
        const auto opaque = hn::Not(hn::RebindMask(df, group.transparent[k]));
        mean.r = hn::Add(mean.r, hn::IfThenElseZero(opaque, group.texel[k].r));
        mean.g = hn::Add(mean.g, hn::IfThenElseZero(opaque, group.texel[k].g));
        mean.b = hn::Add(mean.b, hn::IfThenElseZero(opaque, group.texel[k].b));
    }
    const VF count = hn::Max(group.opaqueCount, hn::Set(df, 1.0f));
    mean = {hn::Div(mean.r, count), hn::Div(mean.g, count), hn::Div(mean.b, count)};
    VF rr = zero, rg = zero, rb = zero, gg = zero, gb = zero, bb = zero;
    Lanes3 centred[16];
    for (int k = 0; k < 16; ++k) {
        const auto opaque = hn::Not(hn::RebindMask(df, group.transparent[k]));
        centred[k] = {hn::IfThenElseZero(opaque, hn::Sub(group.texel[k].r, mean.r)),
                      hn::IfThenElseZero(opaque, hn::Sub(group.texel[k].g, mean.g)),
                      hn::IfThenElseZero(opaque, hn::Sub(group.texel[k].b, mean.b))};
        const Lanes3& c = centred[k];
        rr = hn::Add(rr, hn::Mul(c.r, c.r)), rg = hn::Add(rg, hn::Mul(c.r, c.g)), rb = hn::Add(rb, hn::Mul(c.r, c.b));
        gg = hn::Add(gg, hn::Mul(c.g, c.g)), gb = hn::Add(gb, hn::Mul(c.g, c.b)), bb = hn::Add(bb, hn::Mul(c.b, c.b));
    }
    Lanes3 axis{hn::Set(df, 1.0f), hn::Set(df, 1.0f), hn::Set(df, 1.0f)};
    for (int i = 0; i < 16; ++i) {
        const Lanes3 next{hn::Add(hn::Add(hn::Mul(rr, axis.r), hn::Mul(rg, axis.g)), hn::Mul(rb, axis.b)),
                          hn::Add(hn::Add(hn::Mul(rg, axis.r), hn::Mul(gg, axis.g)), hn::Mul(gb, axis.b)),
                          hn::Add(hn::Add(hn::Mul(rb, axis.r), hn::Mul(gb, axis.g)), hn::Mul(bb, axis.b))};
        const VF length = hn::Max(hn::Max(hn::Abs(next.r), hn::Abs(next.g)), hn::Abs(next.b));
        const auto usable = hn::Gt(length, zero);
        const VF divisor = hn::IfThenElse(usable, length, hn::Set(df, 1.0f));
        axis = {hn::IfThenElse(usable, hn::Div(next.r, divisor), axis.r),
                hn::IfThenElse(usable, hn::Div(next.g, divisor), axis.g),
                hn::IfThenElse(usable, hn::Div(next.b, divisor), axis.b)};
    }
    VF lowest = hn::Set(df, 1e30f), highest = hn::Set(df, -1e30f);
    for (int k = 0; k < 16; ++k) {
        const auto opaque = hn::Not(hn::RebindMask(df, group.transparent[k]));
        const Lanes3& c = centred[k];
        const VF t = hn::Add(hn::Add(hn::Mul(c.r, axis.r), hn::Mul(c.g, axis.g)), hn::Mul(c.b, axis.b));
        lowest = hn::IfThenElse(opaque, hn::Min(lowest, t), lowest);
        highest = hn::IfThenElse(opaque, hn::Max(highest, t), highest);
    }
    const VF norm = hn::Add(hn::Add(hn::Mul(axis.r, axis.r), hn::Mul(axis.g, axis.g)), hn::Mul(axis.b, axis.b));
    const auto any = hn::Gt(group.opaqueCount, zero);
    const VF lo = hn::IfThenElseZero(any, hn::Div(lowest, norm)), hi = hn::IfThenElseZero(any, hn::Div(highest, norm));
    low = {hn::Add(mean.r, hn::Mul(axis.r, lo)), hn::Add(mean.g, hn::Mul(axis.g, lo)), hn::Add(mean.b, hn::Mul(axis.b, lo))};
    high = {hn::Add(mean.r, hn::Mul(axis.r, hi)), hn::Add(mean.g, hn::Mul(axis.g, hi)), hn::Add(mean.b, hn::Mul(axis.b, hi))};
    axisOut = axis;
}

// Each lane's opaque texels in their order along `axis` (odd-even transposition sort), transparent
// texels last with weight 0.
void orderAlongAxis(const Group& group, const Lanes3& axis, Lanes3 x[16], VF w[16]) {
    const DF df;
    const VF one = hn::Set(df, 1.0f);
    VF t[16];
    for (int k = 0; k < 16; ++k) {
        const auto opaque = hn::Not(hn::RebindMask(df, group.transparent[k]));
        x[k] = group.texel[k];
        w[k] = hn::IfThenElseZero(opaque, one);
        const VF along = hn::Add(hn::Add(hn::Mul(x[k].r, axis.r), hn::Mul(x[k].g, axis.g)), hn::Mul(x[k].b, axis.b));
        t[k] = hn::IfThenElse(opaque, along, hn::Set(df, 1e30f));
    }
    for (int round = 0; round < 16; ++round)
        for (int k = round % 2; k + 1 < 16; k += 2) {
            const auto swap = hn::Lt(t[k + 1], t[k]);
            const auto exchange = [&](VF& a, VF& b) {
                const VF low = hn::IfThenElse(swap, b, a);
                b = hn::IfThenElse(swap, a, b);
                a = low;
            };
            exchange(t[k], t[k + 1]);
            exchange(w[k], w[k + 1]);
            exchange(x[k].r, x[k + 1].r);
            exchange(x[k].g, x[k + 1].g);
            exchange(x[k].b, x[k + 1].b);
        }
}

// Three-colour blocks: every split of the opaque colours, in their order along the axis, into the
// texels nearest the first endpoint, the halfway colour and the second endpoint; the split whose
// least-squares endpoints leave the lowest error gives the endpoints.
void threeColourClusters(const Group& group, const Lanes3& axis, Lanes3& bestFirst, Lanes3& bestSecond) {
    const DF df;
    const VF zero = hn::Zero(df), one = hn::Set(df, 1.0f);
    VF w[16];
    Lanes3 x[16];
    orderAlongAxis(group, axis, x, w);
    VF count[17];
    Lanes3 sum[17];
    count[0] = zero;
    sum[0] = {zero, zero, zero};
    for (int k = 0; k < 16; ++k) {
        count[k + 1] = hn::Add(count[k], w[k]);
        sum[k + 1] = {hn::Add(sum[k].r, hn::Mul(w[k], x[k].r)), hn::Add(sum[k].g, hn::Mul(w[k], x[k].g)),
                      hn::Add(sum[k].b, hn::Mul(w[k], x[k].b))};
    }
    const VF quarter = hn::Set(df, 0.25f), half = hn::Set(df, 0.5f);
    VF bestError = hn::Set(df, 1e30f);
    for (int i = 0; i <= 16; ++i)
        for (int j = i; j <= 16; ++j) {
            const VF nA = count[i], nC = hn::Sub(count[j], count[i]), nB = hn::Sub(count[16], count[j]);
            const VF aa = hn::Add(nA, hn::Mul(quarter, nC)), bb = hn::Add(nB, hn::Mul(quarter, nC)), ab = hn::Mul(quarter, nC);
            const auto blend = [&](VF a, VF c) { return hn::Add(a, hn::Mul(half, c)); };
            const Lanes3 ax{blend(sum[i].r, hn::Sub(sum[j].r, sum[i].r)), blend(sum[i].g, hn::Sub(sum[j].g, sum[i].g)),
                            blend(sum[i].b, hn::Sub(sum[j].b, sum[i].b))};
            const Lanes3 bx{blend(hn::Sub(sum[16].r, sum[j].r), hn::Sub(sum[j].r, sum[i].r)),
                            blend(hn::Sub(sum[16].g, sum[j].g), hn::Sub(sum[j].g, sum[i].g)),
                            blend(hn::Sub(sum[16].b, sum[j].b), hn::Sub(sum[j].b, sum[i].b))};
            const VF determinant = hn::Sub(hn::Mul(aa, bb), hn::Mul(ab, ab));
            const auto solvable = hn::Gt(determinant, hn::Set(df, 1e-3f));
            const VF divisor = hn::IfThenElse(solvable, determinant, one);
            const auto first = [&](VF p, VF q) { return hn::Div(hn::Sub(hn::Mul(p, bb), hn::Mul(q, ab)), divisor); };
            const auto second = [&](VF p, VF q) { return hn::Div(hn::Sub(hn::Mul(q, aa), hn::Mul(p, ab)), divisor); };
            const Lanes3 a{first(ax.r, bx.r), first(ax.g, bx.g), first(ax.b, bx.b)};
            const Lanes3 b{second(ax.r, bx.r), second(ax.g, bx.g), second(ax.b, bx.b)};
            // The error without the constant sum of squared colours.
            const auto dot = [](const Lanes3& p, const Lanes3& q) {
                return hn::Add(hn::Add(hn::Mul(p.r, q.r), hn::Mul(p.g, q.g)), hn::Mul(p.b, q.b));
            };
            const VF error = hn::Add(hn::Sub(hn::Add(hn::Mul(aa, dot(a, a)), hn::Mul(bb, dot(b, b))),
                                             hn::Add(hn::Add(dot(a, ax), dot(a, ax)), hn::Add(dot(b, bx), dot(b, bx)))),
                                     hn::Add(hn::Mul(ab, dot(a, b)), hn::Mul(ab, dot(a, b))));
            const auto better = hn::And(solvable, hn::Lt(error, bestError));
            bestError = hn::IfThenElse(better, error, bestError);
            bestFirst = {hn::IfThenElse(better, a.r, bestFirst.r), hn::IfThenElse(better, a.g, bestFirst.g),
                         hn::IfThenElse(better, a.b, bestFirst.b)};
            bestSecond = {hn::IfThenElse(better, b.r, bestSecond.r), hn::IfThenElse(better, b.g, bestSecond.g),
                          hn::IfThenElse(better, b.b, bestSecond.b)};
        }
}

// The splits of 16 ordered colours into four runs: the first i colours, then up to j, then up to k,
// then the rest, standing for the first endpoint, its two blends and the second endpoint. With every
// blend fixed, the least-squares system has the matrix [aa ab; ab bb] / 9 with integer entries below;
// splits that leave it singular are left out.
struct FourSplit {
    int32_t i, j, k;
    int32_t aa, ab, bb, determinant;
};

template <typename Visit>
constexpr void forEachFourSplit(Visit&& visit) {
    for (int i = 0; i <= 16; ++i)
        for (int j = i; j <= 16; ++j)
            for (int k = j; k <= 16; ++k) {
                const int aa = 9 * i + 4 * (j - i) + (k - j), bb = 9 * (16 - k) + 4 * (k - j) + (j - i), ab = 2 * (k - i);
                if (aa * bb - ab * ab > 0) visit(FourSplit{i, j, k, aa, ab, bb, aa * bb - ab * ab});
            }
}

constexpr int kFourSplitCount = [] {
    int n = 0;
    forEachFourSplit([&](const FourSplit&) { ++n; });
    return n;
}();

constexpr std::array<FourSplit, kFourSplitCount> kFourSplits = [] {
    std::array<FourSplit, kFourSplitCount> splits{};
    int n = 0;
    forEachFourSplit([&](const FourSplit& split) { splits[static_cast<std::size_t>(n++)] = split; });
    return splits;
}();

// Four-colour blocks (every texel opaque): every split of the colours, in their order along the axis,
// into four runs; the split whose least-squares endpoints leave the lowest error gives the endpoints.
// With the colours centred on their mean, that error is the constant spread less 81 |A|^2 / (16 det),
// A being the sum of the three prefix sums at the split, so the search needs no divisions.
void fourColourClusters(const Group& group, const Lanes3& axis, Lanes3& first, Lanes3& second) {
    const DI d;
    const DF df;
    const VF zero = hn::Zero(df);
    VF w[16];
    Lanes3 x[16];
    orderAlongAxis(group, axis, x, w);
    Lanes3 prefix[17];
    prefix[0] = {zero, zero, zero};
    for (int k = 0; k < 16; ++k)
        prefix[k + 1] = {hn::Add(prefix[k].r, x[k].r), hn::Add(prefix[k].g, x[k].g), hn::Add(prefix[k].b, x[k].b)};
    const VF sixteenth = hn::Set(df, 1.0f / 16.0f);
    const Lanes3 mean{hn::Mul(prefix[16].r, sixteenth), hn::Mul(prefix[16].g, sixteenth), hn::Mul(prefix[16].b, sixteenth)};
    for (int k = 1; k <= 16; ++k) {
        const VF count = hn::Set(df, static_cast<float>(k));
        prefix[k] = {hn::Sub(prefix[k].r, hn::Mul(count, mean.r)), hn::Sub(prefix[k].g, hn::Mul(count, mean.g)),
                     hn::Sub(prefix[k].b, hn::Mul(count, mean.b))};
    }
    VF bestScore = hn::Set(df, -1.0f);
    VI bestSplit = hn::Zero(d);
    for (int n = 0; n < kFourSplitCount; ++n) {
        const FourSplit& split = kFourSplits[static_cast<std::size_t>(n)];
        const Lanes3& p = prefix[split.i];
        const Lanes3& q = prefix[split.j];
        const Lanes3& r = prefix[split.k];
        const VF ar = hn::Add(hn::Add(p.r, q.r), r.r), ag = hn::Add(hn::Add(p.g, q.g), r.g), ab = hn::Add(hn::Add(p.b, q.b), r.b);
        const VF length = hn::Add(hn::Add(hn::Mul(ar, ar), hn::Mul(ag, ag)), hn::Mul(ab, ab));
        const VF score = hn::Mul(length, hn::Set(df, 1.0f / static_cast<float>(split.determinant)));
        const auto better = hn::Gt(score, bestScore);
        bestScore = hn::IfThenElse(better, score, bestScore);
        bestSplit = hn::IfThenElse(hn::RebindMask(d, better), hn::Set(d, n), bestSplit);
    }
    // Each lane's split, looked up one lane at a time.
    alignas(64) int32_t splitOf[HWY_MAX_BYTES / 4];
    alignas(64) int32_t iOf[HWY_MAX_BYTES / 4], jOf[HWY_MAX_BYTES / 4], kOf[HWY_MAX_BYTES / 4];
    alignas(64) float firstWeight[HWY_MAX_BYTES / 4], secondWeight[HWY_MAX_BYTES / 4];
    hn::Store(bestSplit, d, splitOf);
    for (std::size_t lane = 0; lane < hn::Lanes(d); ++lane) {
        const FourSplit& split = kFourSplits[static_cast<std::size_t>(splitOf[lane])];
        iOf[lane] = split.i, jOf[lane] = split.j, kOf[lane] = split.k;
        firstWeight[lane] = static_cast<float>(3 * (split.bb + split.ab)) / static_cast<float>(split.determinant);
        secondWeight[lane] = static_cast<float>(3 * (split.aa + split.ab)) / static_cast<float>(split.determinant);
    }
    const VI si = hn::Load(d, iOf), sj = hn::Load(d, jOf), sk = hn::Load(d, kOf);
    Lanes3 sum{zero, zero, zero};
    for (int k = 1; k <= 16; ++k) {
        const VI at = hn::Set(d, k);
        for (const VI chosen : {si, sj, sk}) {
            const auto here = hn::RebindMask(df, hn::Eq(chosen, at));
            sum = {hn::Add(sum.r, hn::IfThenElseZero(here, prefix[k].r)), hn::Add(sum.g, hn::IfThenElseZero(here, prefix[k].g)),
                   hn::Add(sum.b, hn::IfThenElseZero(here, prefix[k].b))};
        }
    }
    const VF toFirst = hn::Load(df, firstWeight), toSecond = hn::Load(df, secondWeight);
    first = {hn::Add(mean.r, hn::Mul(sum.r, toFirst)), hn::Add(mean.g, hn::Mul(sum.g, toFirst)), hn::Add(mean.b, hn::Mul(sum.b, toFirst))};
    second = {hn::Sub(mean.r, hn::Mul(sum.r, toSecond)), hn::Sub(mean.g, hn::Mul(sum.g, toSecond)),
              hn::Sub(mean.b, hn::Mul(sum.b, toSecond))};
}

// Least-squares endpoints for each lane's indices, each index standing for a fixed blend of the two
// endpoints. Lanes whose blends leave the system singular keep `fallback` (false in `solved`).
void refit(const Group& group, const Fit& fit, bool dxt3, Lanes3& first, Lanes3& second, hn::Mask<DF>& solved) {
    const DI d;
    const DF df;
    const VF zero = hn::Zero(df);
    const auto four = dxt3 ? hn::Eq(zero, zero) : hn::RebindMask(df, hn::Gt(fit.colour0, fit.colour1));
    const VF third = hn::IfThenElse(four, hn::Set(df, 2.0f / 3.0f), hn::Set(df, 0.5f));
    VF aa = zero, ab = zero, bb = zero;
    Lanes3 ax{zero, zero, zero}, bx{zero, zero, zero};
    for (int k = 0; k < 16; ++k) {
        const VI index = hn::And(hn::ShiftRightSame(fit.indices, 2 * k), hn::Set(d, 3));
        VF alpha = hn::IfThenElse(hn::RebindMask(df, hn::Eq(index, hn::Zero(d))), hn::Set(df, 1.0f), zero);
        alpha = hn::IfThenElse(hn::RebindMask(df, hn::Eq(index, hn::Set(d, 2))), third, alpha);
        alpha = hn::IfThenElse(hn::RebindMask(df, hn::Eq(index, hn::Set(d, 3))), hn::Set(df, 1.0f / 3.0f), alpha);
        const auto opaque = hn::Not(hn::RebindMask(df, group.transparent[k]));
        alpha = hn::IfThenElseZero(opaque, alpha);
        const VF beta = hn::IfThenElseZero(opaque, hn::Sub(hn::Set(df, 1.0f), alpha));
        const Lanes3& x = group.texel[k];
        aa = hn::Add(aa, hn::Mul(alpha, alpha)), ab = hn::Add(ab, hn::Mul(alpha, beta)), bb = hn::Add(bb, hn::Mul(beta, beta));
        ax = {hn::Add(ax.r, hn::Mul(alpha, x.r)), hn::Add(ax.g, hn::Mul(alpha, x.g)), hn::Add(ax.b, hn::Mul(alpha, x.b))};
        bx = {hn::Add(bx.r, hn::Mul(beta, x.r)), hn::Add(bx.g, hn::Mul(beta, x.g)), hn::Add(bx.b, hn::Mul(beta, x.b))};
    }
    const VF determinant = hn::Sub(hn::Mul(aa, bb), hn::Mul(ab, ab));
    solved = hn::Gt(hn::Abs(determinant), hn::Set(df, 1e-3f));
    const VF divisor = hn::IfThenElse(solved, determinant, hn::Set(df, 1.0f));
    const auto solveFirst = [&](VF p, VF q) { return hn::Div(hn::Sub(hn::Mul(p, bb), hn::Mul(q, ab)), divisor); };
    const auto solveSecond = [&](VF p, VF q) { return hn::Div(hn::Sub(hn::Mul(q, aa), hn::Mul(p, ab)), divisor); };
    first = {solveFirst(ax.r, bx.r), solveFirst(ax.g, bx.g), solveFirst(ax.b, bx.b)};
    second = {solveSecond(ax.r, bx.r), solveSecond(ax.g, bx.g), solveSecond(ax.b, bx.b)};
}

Fit encodeGroupHigh(const Group& group, bool dxt3) {
    const DI d;
    Lanes3 low, high;
    Lanes3 axis;
    principalEndpoints(group, low, high, axis);
    Fit best = scoreEndpoints(group, quantise(low), quantise(high), dxt3);
    // Each lane's choices depend on its own block only: work done for some lanes of a group is
    // offered to those lanes alone, so the bytes do not depend on the vector width.
    const auto keepIn = [&](hn::Mask<DF> lanes, const Lanes3& first, const Lanes3& second) {
        Fit fit = scoreEndpoints(group, quantise(first), quantise(second), dxt3);
        fit.error = hn::IfThenElse(lanes, fit.error, hn::Set(DF(), 1e30f));
        keepBetter(best, fit);
    };
    const auto threeColourLanes = dxt3 ? hn::RebindMask(DF(), hn::FirstN(d, 0)) : hn::RebindMask(DF(), group.anyTransparent);
    const bool anyThreeColour = !hn::AllFalse(DF(), threeColourLanes);
    if (anyThreeColour) {
        Lanes3 first = low, second = high;
        threeColourClusters(group, axis, first, second);
        keepIn(threeColourLanes, first, second);
        // The endpoints found give a truer axis than the colours' spread: order the texels along it once
        // more (further rounds gained a tenth as much again at a fifth more time).
        const Lanes3 refined{hn::Sub(second.r, first.r), hn::Sub(second.g, first.g), hn::Sub(second.b, first.b)};
        threeColourClusters(group, refined, first, second);
        keepIn(threeColourLanes, first, second);
    }
    {
        // The farthest pair of opaque colours is the other start.
        const DF df;
        VF farthest = hn::Set(df, -1.0f);
        VI first = hn::Zero(d), second = hn::Zero(d);
        for (int i = 0; i < 16; ++i)
            for (int j = i + 1; j < 16; ++j) {
                const auto both = hn::Not(hn::RebindMask(df, hn::Or(group.transparent[i], group.transparent[j])));
                const auto larger = hn::And(both, hn::Gt(distance(group.texel[i], group.texel[j]), farthest));
                farthest = hn::IfThenElse(larger, distance(group.texel[i], group.texel[j]), farthest);
                first = hn::IfThenElse(hn::RebindMask(d, larger), hn::Set(d, i), first);
                second = hn::IfThenElse(hn::RebindMask(d, larger), hn::Set(d, j), second);
            }
        Lanes3 a = group.texel[0], b = group.texel[0];
        for (int k = 1; k < 16; ++k) {
            const auto isFirst = hn::RebindMask(df, hn::Eq(first, hn::Set(d, k)));
            const auto isSecond = hn::RebindMask(df, hn::Eq(second, hn::Set(d, k)));
            a = {hn::IfThenElse(isFirst, group.texel[k].r, a.r), hn::IfThenElse(isFirst, group.texel[k].g, a.g),
                 hn::IfThenElse(isFirst, group.texel[k].b, a.b)};
            b = {hn::IfThenElse(isSecond, group.texel[k].r, b.r), hn::IfThenElse(isSecond, group.texel[k].g, b.g),
                 hn::IfThenElse(isSecond, group.texel[k].b, b.b)};
        }
        keepBetter(best, scoreEndpoints(group, quantise(a), quantise(b), dxt3));
    }
    {
        // Four-colour blocks the starts leave rough (more than 8 per channel off on average) try every
        // split along the axis, then again along the axis of the endpoints found. Smooth blocks, whose
        // starts are already close, never pay for it.
        const DF df;
        const auto fourColour = dxt3 ? hn::Eq(best.error, best.error) : hn::Not(hn::RebindMask(df, group.anyTransparent));
        const auto rough = hn::And(fourColour, hn::Gt(best.error, hn::Mul(group.opaqueCount, hn::Set(df, 3.0f * 8 * 8))));
        if (!hn::AllFalse(df, rough)) {
            Lanes3 first, second;
            fourColourClusters(group, axis, first, second);
            keepIn(rough, first, second);
            const Lanes3 refined{hn::Sub(second.r, first.r), hn::Sub(second.g, first.g), hn::Sub(second.b, first.b)};
            fourColourClusters(group, refined, first, second);
            keepIn(rough, first, second);
        }
    }
    // A least-squares refit from the best indices so far, kept in the lanes where it lowers the error.
    const auto keepRefit = [&] {
        Lanes3 first, second;
        hn::Mask<DF> solved;
        refit(group, best, dxt3, first, second, solved);
        keepIn(solved, first, second);
    };
    for (int round = 0; round < 2; ++round) keepRefit();
    // Steps of one 565 level in one channel, of either endpoint or both, kept where they lower the
    // error; a step past a channel's limit leaves that channel as it is. Single steps come first.
    static constexpr int kShift[3] = {11, 5, 0};
    static constexpr int kTop[3] = {31, 63, 31};
    static constexpr int kMoves[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
    const auto stepped = [&](VI colour, int channel, int delta) {
        if (delta == 0) return colour;
        const VI value = hn::And(hn::ShiftRightSame(colour, kShift[channel]), hn::Set(d, kTop[channel]));
        const VI next = hn::Min(hn::Max(hn::Add(value, hn::Set(d, delta)), hn::Zero(d)), hn::Set(d, kTop[channel]));
        return hn::Or(hn::AndNot(hn::Set(d, kTop[channel] << kShift[channel]), colour), hn::ShiftLeftSame(next, kShift[channel]));
    };
    // Moving one endpoint at a time suffices for four colours; three-colour blocks, with their
    // coarser palette, get stuck less when both endpoints move together as well.
    const int moves = anyThreeColour ? 8 : 4;
    // Lanes that still improved when the pass limit stopped the search.
    auto unsettled = hn::Lt(best.error, best.error);
    const auto search = [&] {
        unsettled = hn::Lt(best.error, best.error);
        for (int pass = 0; pass < 8; ++pass) {
            const VF before = best.error;
            for (int channel = 0; channel < 3; ++channel)
                for (int move = 0; move < moves; ++move) {
                    Fit moved = scoreEndpoints(group, stepped(best.colour0, channel, kMoves[move][0]),
                                               stepped(best.colour1, channel, kMoves[move][1]), dxt3);
                    if (move >= 4) moved.error = hn::IfThenElse(threeColourLanes, moved.error, hn::Set(DF(), 1e30f));
                    keepBetter(best, moved);
                }
            unsettled = hn::Lt(best.error, before);
            if (hn::AllFalse(DF(), unsettled)) break;
        }
    };
    search();
    {
        // A least-squares refit from the searched indices may lead to a lower basin. Searching again
        // changes only lanes the refit moved or the pass limit stopped, so it may be skipped without them.
        const VF before = best.error;
        keepRefit();
        if (!hn::AllFalse(DF(), hn::Or(unsettled, hn::Lt(best.error, before)))) search();
    }
    if (!dxt3) {
        // Opaque DXT1 blocks may do better with the three-colour palette of the same endpoints.
        const VI high = hn::Max(best.colour0, best.colour1), low = hn::Min(best.colour0, best.colour1);
        keepBetter(best, score(group, low, high, hn::FirstN(d, 0)));
    }
    return best;
}

} // namespace

void encodeBlockRowHighLanes(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out) {
    const DI d;
    const DF df;
    const hn::RebindToUnsigned<DI> du;
    const int64_t lanes = static_cast<int64_t>(hn::Lanes(d));
    const int64_t blockBytes = dxt3 ? 16 : 8;
    std::vector<int32_t> colour0(static_cast<std::size_t>(lanes)), colour1(colour0.size()), indices(colour0.size());
    std::vector<uint8_t> tail;
    for (int64_t bx = 0; bx < count; bx += lanes) {
        const int64_t blocks = std::min(lanes, count - bx);
        const uint8_t* first = rows + bx * 16;
        int64_t groupPitch = pitch;
        if (blocks < lanes) {
            tail.assign(static_cast<std::size_t>(4 * lanes * 16), 0);
            for (int row = 0; row < 4; ++row) std::copy_n(first + row * pitch, blocks * 16, tail.data() + row * lanes * 16);
            first = tail.data();
            groupPitch = lanes * 16;
        }
        Group group;
        group.anyTransparent = hn::FirstN(d, 0);
        VI opaque = hn::Zero(d);
        for (int row = 0; row < 4; ++row) {
            hn::Vec<decltype(du)> column[4];
            hn::LoadInterleaved4(du, reinterpret_cast<const uint32_t*>(first + row * groupPitch), column[0], column[1],
                                 column[2], column[3]);
            for (int c = 0; c < 4; ++c) {
                const int k = 4 * row + c;
                const VI texel = hn::BitCast(d, column[c]);
                const VI byteMask = hn::Set(d, 0xFF);
                group.texel[k] = {hn::ConvertTo(df, hn::And(hn::ShiftRight<16>(texel), byteMask)),
                                  hn::ConvertTo(df, hn::And(hn::ShiftRight<8>(texel), byteMask)),
                                  hn::ConvertTo(df, hn::And(texel, byteMask))};
                const VI alpha = hn::BitCast(d, hn::ShiftRight<24>(column[c]));
                group.transparent[k] = dxt3 ? hn::FirstN(d, 0) : hn::Lt(alpha, hn::Set(d, 128));
                group.anyTransparent = hn::Or(group.anyTransparent, group.transparent[k]);
                opaque = hn::Add(opaque, hn::IfThenZeroElse(group.transparent[k], hn::Set(d, 1)));
            }
        }
        group.opaqueCount = hn::ConvertTo(df, opaque);
        const Fit best = encodeGroupHigh(group, dxt3);
        hn::StoreU(best.colour0, d, colour0.data());
        hn::StoreU(best.colour1, d, colour1.data());
        hn::StoreU(best.indices, d, indices.data());
        for (int64_t n = 0; n < blocks; ++n) {
            uint8_t* block = out + (bx + n) * blockBytes;
            const std::size_t lane = static_cast<std::size_t>(n);
            if (dxt3) {
                uint8_t texels[64];
                for (int row = 0; row < 4; ++row) std::copy_n(first + row * groupPitch + n * 16, 16, texels + 16 * row);
                encodeAlphaNibbles(texels, block);
                block += 8;
            }
            storeU16(block, static_cast<uint16_t>(colour0[lane]));
            storeU16(block + 2, static_cast<uint16_t>(colour1[lane]));
            storeU32(block + 4, static_cast<uint32_t>(indices[lane]));
        }
    }
}

} // namespace HWY_NAMESPACE
} // namespace veldrin
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace veldrin {

HWY_EXPORT(encodeBlockRowHighLanes);

void encodeBlockRowHigh(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(encodeBlockRowHighLanes)(rows, pitch, count, dxt3, out);
}

} // namespace veldrin
#endif
