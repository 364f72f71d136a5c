// The run report's cost: the city-scale level made four times larger, converted for GTA VC into one
// dictionary with mip-maps, IDE and IMG on two threads, without the report, with it, and with its
// model thumbnails. The report's share is the ratio of the times, read from one run of this program;
// the report folder's size against the game files' is given as a counter.
#include <benchmark/benchmark.h>

#include <libdeflate.h>

#include <filesystem>

#include "app/run/LevelRun.h"
#include "internal/ZlibStream.h"
#include "report/TextureSheet.h"
#include "base/FileIO.h"
#include "texture/DictionaryDecoder.h"
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

// The city four times larger, written into `dir`, converted for GTA VC into one dictionary on two threads.
ConversionOptions cityRun(const test::TempFolder& dir) {
    static const test::BuiltLevel city =
        test::buildLevel(test::sampleTown(GameVersion::LcsPs2, test::scaledShape(test::cityShape(), 4)));
    ConversionOptions o;
    applyLevelPick(o, city.write(dir.path(), "city"));
    o.edition = GameVersion::LcsPs2;
    o.targetGame = TargetGame::GtaVc;
    o.txdMode = TxdMode::OneBigTxd;
    o.jobs = 2;
    return o;
}

// Arg: 0 without the report, 1 with it, 2 with its thumbnails too.
void BM_ConvertCityReport(benchmark::State& state) {
    test::TempFolder dir("veldrin-bench-report");
    ConversionOptions o = cityRun(dir);
    o.generateIde = true;
    o.buildImg = true;
    o.genMipMaps = true;
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

// The city's texture sheet as the PNG writer's filter leaves it, compressed into one zlib stream by
// the report's compressor (ISA-L's igzip, arg 0) and by libdeflate's fastest level (arg 1), the peer
// it replaced. Bytes per second and the compressed size are the figures to compare.
void BM_CompressCitySheet(benchmark::State& state) {
    static const std::vector<uint8_t> rows = [] {
        test::TempFolder dir("veldrin-bench-sheet");
        const ConversionOptions o = cityRun(dir);
        runConversion(o, {});
        const RgbaImage image = composeSheet(decodeDictionary(readWholeFile(o.levelFolder() / "CITYTXD.TXD"), "CITYTXD", 2), 2).image;
        const std::size_t stride = std::size_t(image.width) * 4;
        std::vector<uint8_t> filtered;
        for (int y = 0; y < image.height; ++y) {
            filtered.push_back(2);
            for (std::size_t i = 0; i < stride; ++i) filtered.push_back(uint8_t(image.at(0, y)[i] - (y ? image.at(0, y - 1)[i] : 0)));
        }
        return filtered;
    }();
    std::size_t size = 0;
    libdeflate_compressor* peer = libdeflate_alloc_compressor(1);
    for (auto _ : state) {
        if (state.range(0) == 0) {
            ZlibWriter writer;
            writer.add(rows);
            size = writer.finish().size();
        } else {
            std::vector<uint8_t> out(libdeflate_zlib_compress_bound(peer, rows.size()));
            size = libdeflate_zlib_compress(peer, rows.data(), rows.size(), out.data(), out.size());
        }
    }
    libdeflate_free_compressor(peer);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(rows.size()));
    state.counters["compressed_share"] = double(size) / double(rows.size());
    state.SetLabel(state.range(0) == 0 ? "ISA-L igzip, fast level" : "libdeflate, level 1");
}
BENCHMARK(BM_CompressCitySheet)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
