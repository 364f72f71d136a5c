#include "cli/CliCommands.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/ConversionRun.h"
#include "base/Error.h"
#include "cli/Interrupt.h"
#include "cli/Progress.h"
#include "level/LevelInput.h"
#include "level/WorldReader.h"

namespace veldrin::cli {

namespace {

// The IMG pairs with the LVZ by name; a missing one is reported as the window reports it.
bool checkInputs(const ConversionOptions& o) {
    if (!std::filesystem::exists(o.imgPath)) {
        std::fprintf(stderr, "%s not found\n", o.imgPath.string().c_str());
        return false;
    }
    return true;
}

} // namespace

int runConvertCommand(const ConversionOptions& options) {
    if (!checkInputs(options)) return 1;
    if (options.useZon && !std::filesystem::exists(options.zonPath)) {
        std::fprintf(stderr, "%s not found\n", options.zonPath.string().c_str());
        return 1;
    }
    TerminalProgress progress(stderr);
    RunCallbacks callbacks;
    callbacks.status = [&](const std::string& text) {
        if (text != kAllDoneMessage) progress.status(text);
    };
    callbacks.progress = [&](int position, int maximum) { progress.progress(position, maximum); };
    callbacks.warning = [&](const std::string& text) { progress.warning(text); };
    InterruptGuard interrupt;
    callbacks.stopRequested = [] { return InterruptGuard::requested(); };
    try {
        const RunSummary summary = runConversion(options, callbacks);
        progress.finish();
        if (summary.stopped) {
            std::fprintf(stderr, "%s\n", kInterruptedMessage);
            return kInterruptedExitCode;
        }
        std::printf("Converted %d model(s), %d texture dictionar%s, %d placement(s) into %s\n", summary.modelsConverted,
                    summary.dictionaries, summary.dictionaries == 1 ? "y" : "ies", summary.instancesWritten,
                    options.levelFolder().string().c_str());
        if (summary.warnings > 0) std::printf("%d warning(s)\n", summary.warnings);
        std::printf("%s\n", kAllDoneMessage);
        return 0;
    } catch (const std::exception& e) {
        progress.finish();
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

int runInfoCommand(const ConversionOptions& options) {
    if (!checkInputs(options)) return 1;
    try {
        const LevelBuffer level = loadLevel(options.lvzPath, options.imgPath);
        const WorldTables t = readWorld(level, options.gameVersion);
        const WorldStats& s = t.stats;
        int located = 0;
        for (const ResourceEntry& r : t.resources) located += r.position != 0;
        std::printf("Level: %s (%s), edition %s\n", options.levelName.c_str(), options.lvzPath.string().c_str(),
                    std::string(gameVersionName(options.gameVersion)).c_str());
        std::printf("IMG: %lld bytes; world resource: %lld bytes\n", static_cast<long long>(level.worldBase),
                    static_cast<long long>(level.bytes.size() - level.worldBase));
        std::printf("Resources: %d\n", t.resourceCount);
        std::printf("Located: %d (world table %d, blocks %d, trailing blocks %d, extra blocks %d); not located: %d\n",
                    located, s.locatedByWorldTable, s.locatedByBlocks, s.locatedByTrailingBlocks, s.locatedByExtraBlocks,
                    t.resourceCount - located);
        std::printf("Cells: %d (extra cells %d); trailing blocks: %d; extra blocks: %d\n", s.cells, s.extraCells,
                    s.trailingBlocks, s.extraBlocks);
        const int lists = worldLayout(options.gameVersion).instanceLists;
        std::printf("Models by instance list:");
        int models = 0, megaLods = 0, pairModels = 0;
        for (int j = 0; j < lists; ++j) {
            int n = 0;
            for (const ModelRecord& m : t.models) n += (m.lists >> j) & 1;
            std::printf("%s %d: %d", j == 0 ? "" : ",", j, n);
        }
        std::printf("\n");
        for (const ModelRecord& m : t.models) {
            models += m.instanced;
            megaLods += m.megaLod;
            pairModels += m.isPairModel;
        }
        int instances = 0, pairs = 0;
        for (const PlacedInstance& p : t.instances) {
            instances += p.defined;
            pairs += p.defined && p.pairModel >= 0;
        }
        std::printf("Models: %d (MegaLODs %d, second parts of pairs %d)\n", models, megaLods, pairModels);
        std::printf("Instances: %d (instance records %d); pairs: %d\n", instances, s.instanceRecords, pairs);
        if (s.skippedResourceIndices > 0)
            std::printf("warning: %d resource index(es) at or above the resource count were skipped\n",
                        s.skippedResourceIndices);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace veldrin::cli
