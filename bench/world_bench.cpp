// Reading the world resource and whole conversions of the city-scale synthetic level.
#include <benchmark/benchmark.h>

#include "app/run/LevelRun.h"
#include "level/WorldReader.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;

namespace {

const test::BuiltLevel& cityLevel() {
    static const test::BuiltLevel level = test::buildLevel(test::sampleTown(GameVersion::LcsPs2, test::cityShape()));
    return level;
}

void BM_ReadWorldCity(benchmark::State& state) {
    const LevelBuffer buffer = cityLevel().buffer();
    for (auto _ : state) {
        WorldTables t = readWorld(buffer, GameVersion::LcsPs2);
        benchmark::DoNotOptimize(t.resources.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.bytes.size()));
}
BENCHMARK(BM_ReadWorldCity)->Unit(benchmark::kMillisecond);

// The whole run, to IMG for GTA VC with mip-maps: jobs 1 against jobs 2 gives the threading ratio.
void BM_ConvertCity(benchmark::State& state) {
    test::TempFolder dir("veldrin-bench");
    const auto lvz = cityLevel().write(dir.path(), "city");
    ConversionOptions o;
    applyLevelPick(o, lvz);
    o.targetGame = TargetGame::GtaVc;
    o.generateIde = true;
    o.buildImg = true;
    o.genMipMaps = true;
    o.optimiseMesh = true;
    o.txdMode = TxdMode::TxdPerGroup;
    o.modelsPerTxd = 50;
    o.jobs = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(runConversion(o, {}).modelsConverted);
}
BENCHMARK(BM_ConvertCity)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
