// Inflating the city-scale level's LVZ, the step a level's loading takes before it joins the world to
// the IMG: libdeflate's whole-buffer inflation (inflateWhole) against zlib's streaming into a growing
// vector, which the loading used before. The speed-up is the ratio of the two times of one run.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "internal/ZlibInflate.h"
#include "level/Inflate.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"

using namespace veldrin;

namespace {

const std::vector<uint8_t>& cityLvz() {
    static const std::vector<uint8_t> lvz = test::buildLevel(test::sampleTown(GameVersion::LcsPs2, test::cityShape())).lvz;
    return lvz;
}

void BM_InflateCityLvz(benchmark::State& state) {
    const bool whole = state.range(0) == 1;
    const std::vector<uint8_t>& lvz = cityLvz();
    const std::vector<uint8_t> reference = inflateWithZlib(lvz, "city.lvz", kMaxInflatedSize);
    const InflatedBytes check = inflateWhole(lvz, "city.lvz");
    if (!std::ranges::equal(check.bytes(), reference)) state.SkipWithError("the two inflaters disagree");
    for (auto _ : state) {
        if (whole) {
            const InflatedBytes world = inflateWhole(lvz, "city.lvz");
            benchmark::DoNotOptimize(world.data.get());
        } else {
            const std::vector<uint8_t> world = inflateWithZlib(lvz, "city.lvz", kMaxInflatedSize);
            benchmark::DoNotOptimize(world.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(reference.size()));
    state.SetLabel(whole ? "libdeflate, whole buffer" : "zlib streaming");
}
BENCHMARK(BM_InflateCityLvz)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
