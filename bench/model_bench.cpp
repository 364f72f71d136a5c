#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "internal/VertexWelder.h"
#include "model/MeshBuilder.h"

using namespace veldrin;

namespace {

// A terrain-like model: a grid of side x side cells drawn as one strip per row, so every inner grid vertex is
// decoded twice (once by each neighbouring strip) and welding has real work to do.
struct GridModel {
    std::vector<ModelVertex> vertices;
    std::vector<MeshTriangle> triangles;
};

GridModel BenchGrid(int side) {
    GridModel g;
    for (int row = 0; row < side; ++row) {
        const auto first = static_cast<uint32_t>(g.vertices.size());
        for (int column = 0; column <= side; ++column) {
            for (int r : {row, row + 1}) {
                g.vertices.push_back(ModelVertex{{static_cast<int16_t>(column * 16), static_cast<int16_t>(r * 16), 0},
                                                 column / 8.0f, r / 8.0f, static_cast<uint16_t>((column + r) & 0x7FFF)});
            }
        }
        appendStripTriangles(g.vertices, first, static_cast<uint32_t>(g.vertices.size()) - first, 0, g.triangles);
    }
    return g;
}

template <auto Weld>
void WeldBench(benchmark::State& state) {
    const GridModel model = BenchGrid(static_cast<int>(state.range(0)));
    std::size_t distinct = 0;
    for (auto _ : state) {
        std::vector<MeshTriangle> triangles = model.triangles;
        const auto welded = Weld(model.vertices, triangles);
        distinct = welded.size();
        benchmark::DoNotOptimize(triangles.data());
    }
    state.counters["corners"] = static_cast<double>(3 * model.triangles.size());
    state.counters["distinct"] = static_cast<double>(distinct);
}

} // namespace

// Side 180: 65,160 decoded vertices welded to 32,761, 64,800 triangles (the largest such grid that still fits
// 16-bit indices).
BENCHMARK(WeldBench<weldVertices>)->Name("Weld/hashed")->Arg(32)->Arg(180)->Unit(benchmark::kMillisecond);
BENCHMARK(WeldBench<weldVerticesLinear>)->Name("Weld/linear")->Arg(32)->Arg(180)->Unit(benchmark::kMillisecond);
