#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "imaging/Imaging.h"

using namespace veldrin;

namespace {

// A busy but deterministic image: gradients with a little texture, so every block has work to do.
ImageData BenchImage(int32_t side) {
    ImageData image = createImage(side, side, TexelFormat::A8R8G8B8);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x) {
            noise = noise * 1103515245u + 12345u;
            uint8_t* t = &image.texels[(static_cast<std::size_t>(y) * side + x) * 4];
            t[0] = static_cast<uint8_t>(x + (noise >> 28));
            t[1] = static_cast<uint8_t>(y + (noise >> 24 & 15));
            t[2] = static_cast<uint8_t>((x ^ y) + (noise >> 20 & 15));
            t[3] = static_cast<uint8_t>(x * 3 + y);
        }
    return image;
}

void EncodeBench(benchmark::State& state, TexelFormat format) {
    const ImageData image = BenchImage(256);
    for (auto _ : state) {
        const auto blocks = encodeBlocks(image.texels, image.width, image.height, format);
        benchmark::DoNotOptimize(blocks.data());
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256 / 16);
    state.SetLabel("blocks");
}

void BM_EncodeDxt1_256(benchmark::State& state) {
    EncodeBench(state, TexelFormat::DXT1);
}

void BM_EncodeDxt3_256(benchmark::State& state) {
    EncodeBench(state, TexelFormat::DXT3);
}

void BM_DecodeDxt3_256(benchmark::State& state) {
    const ImageData image = BenchImage(256);
    const auto blocks = encodeBlocks(image.texels, 256, 256, TexelFormat::DXT3);
    for (auto _ : state) {
        const auto texels = decodeBlocks(blocks, 256, 256, TexelFormat::DXT3);
        benchmark::DoNotOptimize(texels.data());
    }
}

void BM_BuildMipChainArgb_512(benchmark::State& state) {
    const ImageData image = BenchImage(512);
    for (auto _ : state) {
        const MipChain chain = buildMipChain(image, 0);
        benchmark::DoNotOptimize(chain.data());
    }
}

// The texture converter's case: a compressed image, decoded, filtered and compressed per level.
void BM_BuildMipChainDxt3_512(benchmark::State& state) {
    const ImageData image = convertFormat(BenchImage(512), TexelFormat::DXT3);
    for (auto _ : state) {
        const MipChain chain = buildMipChain(image, 0);
        benchmark::DoNotOptimize(chain.data());
    }
}

} // namespace

BENCHMARK(BM_EncodeDxt1_256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeDxt3_256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDxt3_256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildMipChainArgb_512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildMipChainDxt3_512)->Unit(benchmark::kMillisecond);
