#include "internal/Resample.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace veldrin {

namespace {

double triangleKernel(double x) {
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

double catmullRomKernel(double x) {
    x = std::fabs(x);
    if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

struct Kernel {
    double (*function)(double);
    double radius;
};

Kernel kernelOf(SamplingFilter filter) {
    switch (filter) {
    case SamplingFilter::Triangle: return {triangleKernel, 1.0};
    case SamplingFilter::CatmullRom: return {catmullRomKernel, 2.0};
    default: throw VeldrinError("Sampling filter " + std::to_string(static_cast<int32_t>(filter)) +
                                 " cannot resample with weights.");
    }
}

int32_t clampPosition(int64_t position, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, size - 1));
}

} // namespace

MappingTable buildMappingTable(int32_t sourceSize, int32_t destinationSize, SamplingFilter filter) {
    const Kernel kernel = kernelOf(filter);
    MappingTable table(static_cast<std::size_t>(destinationSize));
    if (sourceSize == 1) {
        for (auto& pairs : table) pairs.push_back({0, 1.0f});
        return table;
    }
    const double scale = static_cast<double>(destinationSize) / sourceSize;
    // Shrinking widens the filter so that every source texel contributes.
    const double stretch = scale < 1.0 ? scale : 1.0;
    const double width = kernel.radius / stretch;
    for (int32_t i = 0; i < destinationSize; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        auto& pairs = table[static_cast<std::size_t>(i)];
        const int64_t first = static_cast<int64_t>(std::floor(centre - width));
        const int64_t last = static_cast<int64_t>(std::ceil(centre + width));
        float sum = 0.0f;
        for (int64_t j = first; j <= last; ++j) {
            const float weight = static_cast<float>(stretch * kernel.function((centre - static_cast<double>(j)) * stretch));
            if (weight == 0.0f) continue;
            pairs.push_back({clampPosition(j, sourceSize), weight});
            sum += weight;
        }
        if (pairs.empty())
            pairs.push_back({clampPosition(static_cast<int64_t>(std::floor(centre)), sourceSize), 1.0f});
        else if (sum != 1.0f)
            pairs[(pairs.size() - 1) / 2].weight += 1.0f - sum;
    }
    return table;
}

IntegerMappingTable toIntegerWeights(const MappingTable& table) {
    IntegerMappingTable integers(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        auto& pairs = integers[i];
        pairs.reserve(table[i].size());
        int32_t sum = 0;
        for (const WeightedSource& pair : table[i]) {
            // nearbyint rounds half to even in the default rounding mode.
            const auto weight = static_cast<int32_t>(std::nearbyint(static_cast<double>(pair.weight) * 256.0));
            pairs.push_back({pair.source, weight});
            sum += weight;
        }
        if (!pairs.empty() && sum != 256) pairs[(pairs.size() - 1) / 2].weight += 256 - sum;
    }
    return integers;
}

namespace {

// A width x height image whose texel (x, y) is the source texel (columnOf(x), rowOf(y)).
template <typename ColumnOf, typename RowOf>
ImageData copyTexelsAt(const ImageData& source, int32_t width, int32_t height, ColumnOf columnOf, RowOf rowOf) {
    ImageData destination = createImage(width, height, source.format);
    const int64_t bytesPerPixel = formatInfo(source.format).bytesPerPixel;
    std::vector<int64_t> sourceOffsets(static_cast<std::size_t>(destination.width));
    for (int64_t x = 0; x < destination.width; ++x)
        sourceOffsets[static_cast<std::size_t>(x)] = columnOf(x) * bytesPerPixel;

    const int64_t sourcePitch = source.width * bytesPerPixel;
    uint8_t* out = destination.texels.data();
    for (int64_t y = 0; y < destination.height; ++y) {
        const uint8_t* row = source.texels.data() + rowOf(y) * sourcePitch;
        for (const int64_t offset : sourceOffsets) {
            std::copy_n(row + offset, bytesPerPixel, out);
            out += bytesPerPixel;
        }
    }
    destination.palette = source.palette;
    return destination;
}

} // namespace

ImageData stretchNearest(const ImageData& source, int32_t width, int32_t height) {
    // 64-bit steps: 32 bits would wrap for sources of 65,536 texels or more along an axis.
    const uint64_t stepX = static_cast<uint64_t>(source.width) * 65536 / static_cast<uint64_t>(width);
    const uint64_t stepY = static_cast<uint64_t>(source.height) * 65536 / static_cast<uint64_t>(height);
    return copyTexelsAt(
        source, width, height, [&](int64_t x) { return static_cast<int64_t>((static_cast<uint64_t>(x) * stepX) >> 16); },
        [&](int64_t y) { return static_cast<int64_t>((static_cast<uint64_t>(y) * stepY) >> 16); });
}

ImageData extendEdges(const ImageData& source, int32_t width, int32_t height) {
    return copyTexelsAt(
        source, width, height, [&](int64_t x) { return std::min<int64_t>(x, source.width - 1); },
        [&](int64_t y) { return std::min<int64_t>(y, source.height - 1); });
}

WeightedPasses planWeightedPasses(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height,
                                  SamplingFilter filter) {
    WeightedPasses passes;
    passes.across = toIntegerWeights(buildMappingTable(sourceWidth, width, filter));
    passes.down = toIntegerWeights(buildMappingTable(sourceHeight, height, filter));
    int32_t firstColumn = sourceWidth - 1, lastColumn = 0;
    for (const auto& pairs : passes.across)
        for (const IntegerWeightedSource& pair : pairs) {
            firstColumn = std::min(firstColumn, pair.source);
            lastColumn = std::max(lastColumn, pair.source);
        }
    passes.begin = int64_t{firstColumn} * 4;
    passes.end = (int64_t{lastColumn} + 1) * 4;
    return passes;
}

void resampleRowsPlain(const ImageData& source, const WeightedPasses& passes, uint8_t* out) {
    std::vector<int32_t> columnSums(static_cast<std::size_t>(source.width) * 4);
    const int64_t sourcePitch = int64_t{source.width} * 4;
    for (const auto& rowPairs : passes.down) {
        std::fill(columnSums.begin() + passes.begin, columnSums.begin() + passes.end, 0);
        for (const IntegerWeightedSource& rowPair : rowPairs) {
            const uint8_t* row = source.texels.data() + rowPair.source * sourcePitch;
            const int32_t weight = rowPair.weight;
            for (int64_t i = passes.begin; i < passes.end; ++i) columnSums[i] += weight * row[i];
        }
        for (const auto& columnPairs : passes.across) {
            int32_t sums[4] = {0, 0, 0, 0};
            for (const IntegerWeightedSource& columnPair : columnPairs) {
                const int32_t* column = columnSums.data() + int64_t{columnPair.source} * 4;
                for (int c = 0; c < 4; ++c) sums[c] += columnPair.weight * column[c];
            }
            // The fraction is dropped, not rounded.
            for (int c = 0; c < 4; ++c) *out++ = static_cast<uint8_t>(std::clamp(sums[c], 0, 0xFF0000) >> 16);
        }
    }
}

namespace {

// A plan depends only on the sizes and the filter, and a level's mip chains repeat a handful of sizes:
// each plan is made once and shared by every thread. Planning took longer than the resampling itself.
std::shared_ptr<const WeightedPasses> sharedPlan(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height,
                                                 SamplingFilter filter) {
    constexpr std::size_t kMaxPlans = 256; // sizes are powers of two in practice; this bounds any other case
    using Key = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t>;
    static std::mutex mutex;
    static std::map<Key, std::shared_ptr<const WeightedPasses>> plans;
    const Key key{sourceWidth, sourceHeight, width, height, static_cast<int32_t>(filter)};
    {
        const std::lock_guard lock(mutex);
        if (const auto found = plans.find(key); found != plans.end()) return found->second;
    }
    auto plan = std::make_shared<const WeightedPasses>(planWeightedPasses(sourceWidth, sourceHeight, width, height, filter));
    const std::lock_guard lock(mutex);
    if (plans.size() >= kMaxPlans) plans.clear();
    return plans.emplace(key, std::move(plan)).first->second;
}

} // namespace

ImageData resampleFiltered(const ImageData& source, int32_t width, int32_t height, SamplingFilter filter) {
    ImageData destination = createImage(width, height, TexelFormat::A8R8G8B8);
    resampleRows(source, *sharedPlan(source.width, source.height, width, height, filter), destination.texels.data());
    return destination;
}

} // namespace veldrin
