// Block encoders side by side on the same 512 x 512 images, one thread: ours (exact, in vector lanes and
// one block at a time; high), stb_dxt (default mode) and libsquish (range fit, cluster fit). Items are
// blocks; the "rmse" counter is the colour error of the encoder's blocks decoded by our decoder, over
// the opaque texels. Also the mip chain of a 512 x 512 image, vector path against the plain one.
#include <benchmark/benchmark.h>

#include <squish.h>

#include <cstring> // stb_dxt uses memcpy without including it
#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imaging/Imaging.h"
#include "internal/BlockRows.h"
#include "internal/FormatConversion.h"
#include "internal/Resample.h"
#include "internal/VectorTargets.h"

using namespace veldrin;

namespace {

constexpr int32_t kSide = 512;
constexpr int64_t kBlocks = int64_t{kSide / 4} * (kSide / 4);

// Texels blue, green, red, alpha, as the core holds them.
std::vector<uint8_t> makeImage(const std::function<void(int32_t, int32_t, uint8_t*)>& texel) {
    std::vector<uint8_t> bits(static_cast<std::size_t>(kSide) * kSide * 4);
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x) texel(x, y, &bits[(static_cast<std::size_t>(y) * kSide + x) * 4]);
    return bits;
}

const std::vector<uint8_t>& gradientImage() {
    static const auto image = makeImage([](int32_t x, int32_t y, uint8_t* t) {
        t[0] = static_cast<uint8_t>((x + y) / 4);
        t[1] = static_cast<uint8_t>(y / 2);
        t[2] = static_cast<uint8_t>(x / 2);
        t[3] = 255;
    });
    return image;
}

// Photo-like: overlapping soft waves of different scales in each channel, a little grain.
const std::vector<uint8_t>& smoothImage() {
    static const auto image = [] {
        std::mt19937 random(11);
        return makeImage([&](int32_t x, int32_t y, uint8_t* t) {
            const double u = x / 512.0, v = y / 512.0;
            const double base = 0.5 + 0.25 * std::sin(6.1 * u + 2.3 * v) + 0.15 * std::sin(17.0 * u * v + 1.0);
            const double grain = static_cast<double>(random() % 9) - 4.0;
            t[2] = static_cast<uint8_t>(std::clamp(255 * base + grain, 0.0, 255.0));
            t[1] = static_cast<uint8_t>(std::clamp(255 * (0.45 + 0.3 * std::sin(9.0 * v - 3.0 * u)) + grain, 0.0, 255.0));
            t[0] = static_cast<uint8_t>(std::clamp(255 * (0.4 + 0.2 * std::cos(13.0 * u + 5.0 * v * v)) + grain, 0.0, 255.0));
            t[3] = 255;
        });
    }();
    return image;
}

// Noise with cut-out alpha: random colours, transparent holes (a grid of discs).
const std::vector<uint8_t>& noisyCutOutImage() {
    static const auto image = [] {
        std::mt19937 random(5);
        return makeImage([&](int32_t x, int32_t y, uint8_t* t) {
            for (int c = 0; c < 3; ++c) t[c] = static_cast<uint8_t>(random());
            const int32_t dx = x % 37 - 18, dy = y % 29 - 14;
            t[3] = dx * dx + dy * dy < 120 ? 0 : 255;
        });
    }();
    return image;
}

struct BenchImage {
    const char* name;
    const std::vector<uint8_t>& (*texels)();
};

const BenchImage kImages[] = {{"gradient", gradientImage}, {"smooth", smoothImage}, {"noisy_cutout", noisyCutOutImage}};

// The 16 texels of block (bx, by), red first, as the peers take them.
void blockRgba(const std::vector<uint8_t>& bits, int32_t bx, int32_t by, uint8_t* rgba) {
    for (int k = 0; k < 16; ++k) {
        const uint8_t* t = &bits[((static_cast<std::size_t>(by) * 4 + k / 4) * kSide + bx * 4 + k % 4) * 4];
        rgba[4 * k] = t[2], rgba[4 * k + 1] = t[1], rgba[4 * k + 2] = t[0], rgba[4 * k + 3] = t[3];
    }
}

using Encoder = std::function<std::vector<uint8_t>(const std::vector<uint8_t>&)>;

std::vector<uint8_t> encodeWithPeer(const std::vector<uint8_t>& bits, const std::function<void(const uint8_t*, uint8_t*)>& peer) {
    std::vector<uint8_t> blocks(static_cast<std::size_t>(kBlocks) * 8);
    uint8_t rgba[64];
    uint8_t* out = blocks.data();
    for (int32_t by = 0; by < kSide / 4; ++by)
        for (int32_t bx = 0; bx < kSide / 4; ++bx, out += 8) {
            blockRgba(bits, bx, by, rgba);
            peer(rgba, out);
        }
    return blocks;
}

std::vector<uint8_t> encodePlain(const std::vector<uint8_t>& bits) {
    std::vector<uint8_t> blocks(static_cast<std::size_t>(kBlocks) * 8);
    for (int32_t by = 0; by < kSide / 4; ++by)
        encodeBlockRowScalar(bits.data() + int64_t{by} * 4 * kSide * 4, kSide * 4, kSide / 4, false,
                             blocks.data() + int64_t{by} * (kSide / 4) * 8);
    return blocks;
}

const std::pair<const char*, Encoder> kEncoders[] = {
    {"exact", [](const std::vector<uint8_t>& b) { return encodeBlocks(b, kSide, kSide, TexelFormat::DXT1); }},
    {"exact_plain", encodePlain},
    {"high", [](const std::vector<uint8_t>& b) { return encodeBlocks(b, kSide, kSide, TexelFormat::DXT1, DxtQuality::High); }},
    {"stb_dxt", [](const std::vector<uint8_t>& b) {
         return encodeWithPeer(b, [](const uint8_t* rgba, uint8_t* out) { stb_compress_dxt_block(out, rgba, 0, STB_DXT_NORMAL); });
     }},
    {"squish_range", [](const std::vector<uint8_t>& b) {
         return encodeWithPeer(b, [](const uint8_t* rgba, uint8_t* out) { squish::Compress(rgba, out, squish::kDxt1 | squish::kColourRangeFit); });
     }},
    {"squish_cluster", [](const std::vector<uint8_t>& b) {
         return encodeWithPeer(b, [](const uint8_t* rgba, uint8_t* out) { squish::Compress(rgba, out, squish::kDxt1 | squish::kColourClusterFit); });
     }},
};

double colourRmse(const std::vector<uint8_t>& source, const std::vector<uint8_t>& blocks) {
    const std::vector<uint8_t> decoded = decodeBlocks(blocks, kSide, kSide, TexelFormat::DXT1);
    double sum = 0;
    int64_t count = 0;
    for (std::size_t i = 0; i < source.size(); i += 4) {
        if (source[i + 3] < 128) continue;
        for (int c = 0; c < 3; ++c) {
            const double d = static_cast<double>(decoded[i + c]) - source[i + c];
            sum += d * d;
        }
        count += 3;
    }
    return std::sqrt(sum / static_cast<double>(count));
}

void encodeBench(benchmark::State& state, const BenchImage& image, const Encoder& encoder) {
    const std::vector<uint8_t>& bits = image.texels();
    std::vector<uint8_t> blocks;
    for (auto _ : state) {
        blocks = encoder(bits);
        benchmark::DoNotOptimize(blocks.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlocks);
    state.counters["rmse"] = colourRmse(bits, blocks);
}

// Where high and the cluster fit part on the noisy cut-out image: per block, the squared colour error
// of each, summed over opaque blocks and over blocks with cut-out texels (three colours forced), as
// high's share of the cluster fit's error and the number of blocks each fits better. Timed once.
void highAgainstClusterByBlock(benchmark::State& state) {
    const std::vector<uint8_t>& bits = noisyCutOutImage();
    const auto decoded = [&](const std::string& name) {
        const auto& encoder = *std::find_if(std::begin(kEncoders), std::end(kEncoders), [&](const auto& e) { return e.first == name; });
        return decodeBlocks(encoder.second(bits), kSide, kSide, TexelFormat::DXT1);
    };
    const std::vector<uint8_t> high = decoded("high"), cluster = decoded("squish_cluster");
    double error[2][2] = {}, better[2][2] = {};
    for (auto _ : state)
        for (int32_t by = 0; by < kSide / 4; ++by)
            for (int32_t bx = 0; bx < kSide / 4; ++bx) {
                double block[2] = {};
                bool cutOut = false;
                for (int k = 0; k < 16; ++k) {
                    const std::size_t i = ((static_cast<std::size_t>(by) * 4 + k / 4) * kSide + bx * 4 + k % 4) * 4;
                    cutOut = cutOut || bits[i + 3] < 128;
                    for (int c = 0; c < 3 && bits[i + 3] >= 128; ++c) {
                        block[0] += std::pow(double(high[i + c]) - bits[i + c], 2);
                        block[1] += std::pow(double(cluster[i + c]) - bits[i + c], 2);
                    }
                }
                for (int e = 0; e < 2; ++e) error[cutOut][e] += block[e], better[cutOut][e] += block[e] < block[1 - e];
            }
    for (const int cutOut : {0, 1}) {
        const std::string kind = cutOut ? "cutout_" : "opaque_";
        state.counters[kind + "error_share"] = error[cutOut][0] / error[cutOut][1];
        state.counters[kind + "high_better"] = better[cutOut][0];
        state.counters[kind + "cluster_better"] = better[cutOut][1];
    }
}

// Today's mip chain of a "DXT3" image without vector lanes: decode once, then per level the plain
// resampling passes and the block encoder one block at a time.
MipChain plainMipChain(const ImageData& image) {
    const ImageData argb = toArgb(image);
    MipChain chain{image};
    int32_t width = image.width, height = image.height;
    while (width > 1 || height > 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ImageData level = createImage(width, height, TexelFormat::A8R8G8B8);
        resampleRowsPlain(argb, planWeightedPasses(argb.width, argb.height, width, height, SamplingFilter::Triangle),
                          level.texels.data());
        if (width < 4 || height < 4) level = extendEdges(level, std::max(width, 4), std::max(height, 4));
        ImageData blocks = createImage(level.width, level.height, TexelFormat::DXT3);
        for (int32_t by = 0; by < level.height / 4; ++by)
            encodeBlockRowScalar(level.texels.data() + int64_t{by} * 4 * level.width * 4, int64_t{level.width} * 4,
                                 level.width / 4, true, blocks.texels.data() + int64_t{by} * (level.width / 4) * 16);
        chain.push_back(std::move(blocks));
    }
    return chain;
}

void mipChainBench(benchmark::State& state, bool plain) {
    ImageData source = createImage(kSide, kSide, TexelFormat::A8R8G8B8);
    source.texels = smoothImage();
    const ImageData image = convertFormat(source, TexelFormat::DXT3);
    if (plain) {
        const MipChain a = plainMipChain(image), b = buildMipChain(image, 0);
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a.size() != b.size() || a[i].texels != b[i].texels) state.SkipWithError("the plain chain differs from the vector one");
    }
    for (auto _ : state) {
        MipChain chain = plain ? plainMipChain(image) : buildMipChain(image, 0);
        benchmark::DoNotOptimize(chain.data());
    }
}

// The exact encoder pinned to each vector target the machine runs.
void exactOnTarget(benchmark::State& state, int64_t target) {
    pinVectorTarget(target);
    const std::vector<uint8_t>& bits = smoothImage();
    for (auto _ : state) {
        const auto blocks = encodeBlocks(bits, kSide, kSide, TexelFormat::DXT1);
        benchmark::DoNotOptimize(blocks.data());
    }
    pinVectorTarget(0);
    state.SetItemsProcessed(state.iterations() * kBlocks);
}

const int kRegistered = [] {
    for (const BenchImage& image : kImages)
        for (const auto& [name, encoder] : kEncoders)
            benchmark::RegisterBenchmark((std::string("Dxt1_512/") + image.name + "/" + name).c_str(),
                                         [&image, &encoder = encoder](benchmark::State& s) { encodeBench(s, image, encoder); })
                ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Dxt1_512/noisy_cutout/high_vs_cluster_by_block", highAgainstClusterByBlock)->Iterations(1);
    for (const int64_t target : runnableVectorTargets())
        benchmark::RegisterBenchmark(("Dxt1_512/smooth/exact_on/" + vectorTargetName(target)).c_str(),
                                     [target](benchmark::State& s) { exactOnTarget(s, target); })
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MipChainDxt3_512/vector", [](benchmark::State& s) { mipChainBench(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MipChainDxt3_512/plain", [](benchmark::State& s) { mipChainBench(s, true); })
        ->Unit(benchmark::kMillisecond);
    return 0;
}();

} // namespace
