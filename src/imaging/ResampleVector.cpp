// Filtered resampling in vector lanes, with the integer arithmetic of resampleRowsPlain: 32-bit sums of
// weight x value wrap and round nowhere, so adding them in another order gives the same bytes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ResampleVector.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include <cstdint>
#include <vector>

#include "internal/Resample.h"

HWY_BEFORE_NAMESPACE();
namespace veldrin {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

namespace {

// For one destination row, the weighted sum of its source rows per byte of a source row, from
// `begin` to `end`. Each lane keeps its sum in a register over all the row's pairs.
void sumRows(const ImageData& source, const std::vector<IntegerWeightedSource>& rowPairs, int64_t begin, int64_t end,
             int32_t* columnSums) {
    const hn::ScalableTag<int32_t> d;
    const hn::Rebind<uint8_t, decltype(d)> d8;
    const int64_t lanes = static_cast<int64_t>(hn::Lanes(d));
    const int64_t pitch = int64_t{source.width} * 4;
    const uint8_t* bits = source.texels.data();
    int64_t i = begin;
    for (; i + lanes <= end; i += lanes) {
        auto sum = hn::Zero(d);
        for (const IntegerWeightedSource& pair : rowPairs) {
            const auto texels = hn::PromoteTo(d, hn::LoadU(d8, bits + pair.source * pitch + i));
            sum = hn::Add(sum, hn::Mul(texels, hn::Set(d, pair.weight)));
        }
        hn::StoreU(sum, d, columnSums + i);
    }
    for (; i < end; ++i) {
        int32_t sum = 0;
        for (const IntegerWeightedSource& pair : rowPairs) sum += pair.weight * bits[pair.source * pitch + i];
        columnSums[i] = sum;
    }
}

} // namespace

void resampleRowsLanes(const ImageData& source, const WeightedPasses& passes, uint8_t* out) {
    const hn::CappedTag<int32_t, 4> d; // one texel's four channels (fewer lanes on a scalar target)
    const hn::Rebind<uint8_t, decltype(d)> d8;
    const int64_t lanes = static_cast<int64_t>(hn::Lanes(d));
    std::vector<int32_t> columnSums(static_cast<std::size_t>(source.width) * 4);
    for (const auto& rowPairs : passes.down) {
        sumRows(source, rowPairs, passes.begin, passes.end, columnSums.data());
        for (const auto& columnPairs : passes.across) {
            for (int64_t c = 0; c < 4; c += lanes) {
                auto sum = hn::Zero(d);
                for (const IntegerWeightedSource& pair : columnPairs)
                    sum = hn::Add(sum, hn::Mul(hn::LoadU(d, columnSums.data() + int64_t{pair.source} * 4 + c),
                                               hn::Set(d, pair.weight)));
                // The fraction is dropped, not rounded.
                sum = hn::ShiftRight<16>(hn::Min(hn::Max(sum, hn::Zero(d)), hn::Set(d, 0xFF0000)));
                hn::StoreU(hn::DemoteTo(d8, sum), d8, out + c);
            }
            out += 4;
        }
    }
}

} // namespace HWY_NAMESPACE
} // namespace veldrin
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace veldrin {

HWY_EXPORT(resampleRowsLanes);

void resampleRows(const ImageData& source, const WeightedPasses& passes, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(resampleRowsLanes)(source, passes, out);
}

} // namespace veldrin
#endif
