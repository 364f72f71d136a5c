// The whole level path in memory, as every entry point runs it: inflation, then the one level run —
// edition detection (the named edition, or detected when the input asks), the plan and its name checks,
// then the conversion of the first models the plan holds, each with a dictionary of its own, written
// into a scratch folder. The texture target covers mip-maps; here they are left out to keep the runs fast.
#include <filesystem>
#include <unistd.h>

#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "app/run/LevelRun.h"
#include "level/LevelInput.h"

using namespace veldrin;

namespace {

constexpr std::size_t kMaxInput = 1 << 20;
constexpr int kModelsConverted = 4;

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("veldrin-level-fuzz-" + std::to_string(::getpid()));
    return folder;
}

void runLevel(LevelBuffer level, uint8_t bits) {
    ConversionOptions options;
    options.edition = fuzz::editionOf(bits);
    options.editionAuto = bits & 0x20;
    options.targetGame = fuzz::targetOf(bits >> 2);
    options.buildImg = bits & 0x40;
    options.generateIde = true;
    options.genBlankCol = bits & 0x80;
    options.genNightPrelit = options.targetGame == TargetGame::GtaSa;
    options.txdMode = TxdMode::TxdPerGroup;
    options.modelsPerTxd = 1;
    options.levelName = "fuzz";
    options.modelPrefix = "m";
    options.texturePrefix = "t";
    options.outputFolder = scratchFolder();
    // The run asks before committing each model: a few are enough to reach every converter.
    int asked = 0;
    RunCallbacks callbacks;
    callbacks.stopRequested = [&asked] { return ++asked > kModelsConverted; };
    fuzz::refusalsAreFine([&] {
        PreparedLevel prepared = prepareLoadedLevel(options, std::move(level), callbacks, PrepareFor::Inspection);
        convertLevel(std::move(prepared), callbacks);
    });
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    fuzz::FuzzInput in(data, size);
    const uint8_t options = in.byte();
    const bool compressed = options & 0x10;
    std::vector<uint8_t> world = in.part();
    std::vector<uint8_t> img = in.rest();

    LevelBuffer level;
    if (compressed) {
        bool read = false;
        fuzz::refusalsAreFine([&] {
            level = buildLevelBuffer(world, std::move(img));
            read = true;
        });
        if (!read) return 0;
    } else {
        level.worldBase = static_cast<int64_t>(img.size());
        level.bytes = std::move(img);
        level.bytes.insert(level.bytes.end(), world.begin(), world.end());
        level.bytes.shrink_to_fit();
    }
    runLevel(std::move(level), options);
    return 0;
}
