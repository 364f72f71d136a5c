// The run report's cost: the city-scale level made four times larger, converted for GTA VC into one
// dictionary with mip-maps, IDE and IMG on two threads, without the report, with it, and with its
// model thumbnails. The report's share is the ratio of the times, read from one run of this program;
// the report folder's size against the game files' is given as a counter.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/run/LevelRun.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;

namespace {

std::uintmax_t folderBytes(const std::filesystem::path& folder) {
    std::uintmax_t bytes = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (e.is_regular_file()) bytes += e.file_size();
    return bytes;
}

// Arg: 0 without the report, 1 with it, 2 with its thumbnails too.
void BM_ConvertCityReport(benchmark::State& state) {
    static const test::BuiltLevel city =
        test::buildLevel(test::sampleTown(GameVersion::LcsPs2, test::scaledShape(test::cityShape(), 4)));
    test::TempFolder dir("veldrin-bench-report");
    ConversionOptions o;
    applyLevelPick(o, city.write(dir.path(), "city"));
    o.edition = GameVersion::LcsPs2;
    o.targetGame = TargetGame::GtaVc;
    o.generateIde = true;
    o.buildImg = true;
    o.genMipMaps = true;
    o.txdMode = TxdMode::OneBigTxd;
    o.jobs = 2;
    o.writeReport = state.range(0) != 0;
    o.reportThumbnails = state.range(0) == 2;
    for (auto _ : state) benchmark::DoNotOptimize(runConversion(o, {}).modelsConverted);
    if (o.writeReport) {
        state.counters["report_to_game_files"] =
            double(folderBytes(o.outputFolder / "city-report")) / double(folderBytes(o.levelFolder()));
    }
    state.SetLabel(!o.writeReport ? "without --report" : o.reportThumbnails ? "--report --report-thumbnails" : "with --report");
}
// Alternated, so all see the same load on a shared machine.
BENCHMARK(BM_ConvertCityReport)
    ->Arg(0)->Arg(1)->Arg(2)->Arg(0)->Arg(1)->Arg(0)->Arg(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
