// Edition detection on the city-scale synthetic level, against the whole conversion of the same level:
// detection runs before every conversion, so its time is read as a share of the run's.
#include <benchmark/benchmark.h>

#include <map>

#include "app/run/LevelRun.h"
#include "app/detect/EditionDetection.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;

namespace {

constexpr GameVersion kEditions[] = {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp};

const test::BuiltLevel& cityIn(GameVersion edition) {
    static std::map<GameVersion, test::BuiltLevel> levels;
    auto it = levels.find(edition);
    if (it == levels.end()) it = levels.emplace(edition, test::buildLevel(test::sampleTown(edition, test::cityShape()))).first;
    return it->second;
}

void BM_DetectEditionCity(benchmark::State& state) {
    const GameVersion edition = kEditions[state.range(0)];
    const LevelBuffer buffer = cityIn(edition).buffer();
    for (auto _ : state) {
        const EditionDetection d = detectEdition(buffer);
        if (d.best().edition != edition) state.SkipWithError("detected the wrong edition");
        benchmark::DoNotOptimize(d.ranked.data());
    }
    state.SetLabel(std::string(editionName(edition)));
}
BENCHMARK(BM_DetectEditionCity)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The plainest whole run (one dictionary for GTA 3, one thread), so the share above is not flattered.
void BM_ConvertCityPlain(benchmark::State& state) {
    const GameVersion edition = kEditions[state.range(0)];
    test::TempFolder dir("veldrin-bench");
    const auto lvz = cityIn(edition).write(dir.path(), "city");
    ConversionOptions o;
    applyLevelPick(o, lvz);
    o.edition = edition;
    o.jobs = 1;
    for (auto _ : state) benchmark::DoNotOptimize(runConversion(o, {}).modelsConverted);
    state.SetLabel(std::string(editionName(edition)));
}
BENCHMARK(BM_ConvertCityPlain)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
