// IDE and IPL text for a city-sized level: today's builders against the reference ones they
// replaced, on the same placements. Before timing, both must give the same text.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/DecimalText.h"
#include "index_text_reference.h"
#include "pcout/IdeIpl.h"

using namespace veldrin;

namespace {

constexpr int kModels = 4000, kInstances = 10000;

// Placements as a level gives them: float positions within a few thousand units plus a map offset,
// unit quaternions, some of them axis-aligned.
const std::vector<IplInstance>& cityInstances() {
    static const std::vector<IplInstance> instances = [] {
        std::mt19937 random(20261207);
        std::uniform_real_distribution<float> place(-3000.0f, 3000.0f), angle(-3.14159265f, 3.14159265f);
        std::vector<IplInstance> all;
        for (int i = 0; i < kInstances; ++i) {
            IplInstance instance;
            instance.id = 1000 + i % kModels;
            instance.name = "city_model" + std::to_string(i % kModels);
            instance.position = offsetPosition({place(random), place(random), place(random) / 20}, MapOffset{{10.5, -3, 2}});
            const float half = i % 4 == 0 ? 0.0f : angle(random) / 2;
            instance.rotation = {0, 0, std::sin(half), std::cos(half)};
            all.push_back(instance);
        }
        return all;
    }();
    return instances;
}

const std::vector<std::string>& modelNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int m = 0; m < kModels; ++m) all.push_back("city_model" + std::to_string(m));
        return all;
    }();
    return names;
}

template <typename Builders>
std::string indexText(TargetGame target) {
    std::string text;
    for (int m = 0; m < kModels; ++m) text += Builders::ideLine(1000 + m, modelNames()[m], "CITYTXD", 299, 0);
    for (const IplInstance& instance : cityInstances()) text += Builders::iplLine(target, instance);
    return text;
}

struct Today {
    static std::string ideLine(int32_t id, const std::string& name, const char* txd, int32_t distance, int32_t flags) {
        return ideObjsLine(id, name, txd, distance, flags);
    }
    static std::string iplLine(TargetGame target, const IplInstance& instance) { return iplInstanceLine(target, instance); }
};

struct Reference {
    static std::string ideLine(int32_t id, const std::string& name, const char* txd, int32_t distance, int32_t flags) {
        return reference::ideObjsLine(id, name, txd, distance, flags);
    }
    static std::string iplLine(TargetGame target, const IplInstance& instance) {
        return reference::iplInstanceLine(target, instance);
    }
};

// Numbers whose texts are easy to get wrong: random bit patterns over the whole range, values near
// the notation thresholds, and exact ties (odd multiples of small powers of two).
std::vector<double> awkwardNumbers() {
    std::mt19937_64 random(7);
    std::vector<double> numbers;
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) numbers.push_back(value);
        numbers.push_back(std::ldexp(static_cast<double>(random() % 200001) - 100000, -static_cast<int>(random() % 40)));
        numbers.push_back(static_cast<double>(static_cast<float>(std::ldexp(1.0, static_cast<int>(random() % 60) - 40) *
                                                                (static_cast<double>(random() % 1000000) / 1000000))));
    }
    return numbers;
}

bool sameText(benchmark::State& state) {
    for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa}) {
        if (indexText<Today>(target) != indexText<Reference>(target)) {
            state.SkipWithError("IDE/IPL text differs from the reference");
            return false;
        }
    }
    for (double value : awkwardNumbers()) {
        for (int digits : {1, 4, 7, 8, 12, 15, 17, 20}) {
            if (formatGeneral(value, digits, 2) != reference::formatGeneral(value, digits, 2) ||
                formatFixed(value, digits, 3, 2) != reference::formatFixed(value, digits, 3, 2)) {
                state.SkipWithError(("number text differs from the reference for " + reference::formatGeneral(value, 17, 2) +
                                     " at " + std::to_string(digits) + " digits")
                                        .c_str());
                return false;
            }
        }
    }
    return true;
}

template <typename Builders>
void BM_IndexText(benchmark::State& state) {
    if (!sameText(state)) return;
    for (auto _ : state) benchmark::DoNotOptimize(indexText<Builders>(TargetGame::GtaVc));
    state.SetItemsProcessed(state.iterations() * (kModels + kInstances));
}
BENCHMARK(BM_IndexText<Reference>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexText<Today>)->Unit(benchmark::kMillisecond);

} // namespace
