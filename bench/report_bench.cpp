// The run report's cost: the city-scale level converted for GTA VC with two threads, without and with
// the report folder. The report's share is the ratio of the two times, read from one run of this program.
#include <benchmark/benchmark.h>

#include "app/run/LevelRun.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;

namespace {

void BM_ConvertCityReport(benchmark::State& state) {
    static const test::BuiltLevel city = test::buildLevel(test::sampleTown(GameVersion::LcsPs2, test::cityShape()));
    test::TempFolder dir("veldrin-bench-report");
    ConversionOptions o;
    applyLevelPick(o, city.write(dir.path(), "city"));
    o.edition = GameVersion::LcsPs2;
    o.targetGame = TargetGame::GtaVc;
    o.generateIde = true;
    o.buildImg = true;
    o.genMipMaps = true;
    o.optimiseMesh = true;
    o.txdMode = TxdMode::TxdPerGroup;
    o.jobs = 2;
    o.writeReport = state.range(0) != 0;
    for (auto _ : state) benchmark::DoNotOptimize(runConversion(o, {}).modelsConverted);
    state.SetLabel(o.writeReport ? "with --report" : "without --report");
}
// Alternated, so both see the same load on a shared machine.
BENCHMARK(BM_ConvertCityReport)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
