#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "support/TextureEncoder.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;

namespace {

struct BenchLevel {
    std::vector<uint8_t> bytes;
    std::vector<TextureRef> refs;
};

// 32 swizzled 8-bit textures of 128 x 128 with busy texels and a partly transparent half.
const BenchLevel& benchLevel() {
    static const BenchLevel level = [] {
        BenchLevel l;
        l.bytes.assign(16, 0);
        uint32_t noise = 987654321;
        for (int i = 0; i < 32; ++i) {
            test::TestTexture t;
            t.width = t.height = 128;
            t.depth = 8;
            for (int k = 0; k < t.width * t.height; ++k) {
                noise = noise * 1103515245u + 12345u;
                t.texels.push_back(static_cast<uint8_t>((k % 128 + k / 128 + (noise >> 29)) & 0xFF));
            }
            for (int e = 0; e < 256; ++e) {
                t.palette.push_back({static_cast<uint8_t>(e), static_cast<uint8_t>(e * 3 + i), static_cast<uint8_t>(255 - e),
                                     static_cast<uint8_t>(i % 2 == 0 ? 128 : e / 2)});
            }
            const auto position = static_cast<int64_t>(l.bytes.size());
            const auto encoded = test::encodeTexture(GameVersion::VcsPs2, t, 0);
            l.bytes.insert(l.bytes.end(), encoded.begin(), encoded.end());
            l.bytes.resize((l.bytes.size() + 15) / 16 * 16, 0);
            l.refs.push_back({i, position, position});
        }
        return l;
    }();
    return level;
}

// Arg: thread count. Compare the jobs=1 and jobs=2 times for the speed-up.
void BM_MakeTxdViceCityMipMaps(benchmark::State& state) {
    const BenchLevel& level = benchLevel();
    TxdParams params{TargetGame::GtaVc, GameVersion::VcsPs2, "bench"};
    params.genMipMaps = true;
    params.jobs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto bytes = makeTxd(level.bytes, level.refs, params);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(level.refs.size()));
}
BENCHMARK(BM_MakeTxdViceCityMipMaps)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MakeTxdGta3(benchmark::State& state) {
    const BenchLevel& level = benchLevel();
    TxdParams params{TargetGame::Gta3, GameVersion::VcsPs2, "bench"};
    params.jobs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto bytes = makeTxd(level.bytes, level.refs, params);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(level.refs.size()));
}
BENCHMARK(BM_MakeTxdGta3)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
