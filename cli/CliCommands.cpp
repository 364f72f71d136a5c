#include "cli/CliCommands.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/run/LevelReport.h"
#include "app/run/LevelRun.h"
#include "base/Error.h"
#include "cli/BatchCommand.h"
#include "cli/EditionAdvice.h"
#include "cli/Interrupt.h"
#include "cli/RunWatcher.h"
#include "cli/WarningCounts.h"

namespace veldrin::cli {

namespace {

void printIsland(const RunSummary& summary, const ConversionOptions& options) {
    if (!summary.island) return;
    std::printf("Kept the placements of island %d of %s%s\n", *summary.island, options.zonPath.string().c_str(),
                summary.smallestIsland ? " (the smallest island in the file)" : "");
}

// What a convert --ide would write, first; then how the world reads, for those who look deeper.
void printLevel(const PreparedLevel& p) {
    const ConversionOptions& o = p.options;
    const WorldTables& t = p.tables;
    const WorldStats& s = t.stats;
    const PlannedCounts planned = plannedCounts(p);
    std::printf("Level: %s (%s), edition %s%s\n", o.levelName.c_str(), o.lvzPath.string().c_str(),
                std::string(editionName(o.edition)).c_str(), p.editionDetected ? " (detected)" : "");
    if (p.detection)
        for (const std::string& line : otherEditionLines(*p.detection, o.edition)) std::printf("  %s\n", line.c_str());
    std::printf("A conversion with --ide writes %d models, %d placements and %d textures", planned.models,
                planned.placements, planned.textures);
    if (o.zonIsland) std::printf(" (island %d of %s)", *o.zonIsland, o.zonPath.filename().string().c_str());
    std::printf("\n");
    std::printf("Size: IMG %lld bytes; world resource %lld bytes\n", static_cast<long long>(p.level.worldBase),
                static_cast<long long>(p.level.bytes.size() - p.level.worldBase));

    std::printf("Details of the world tables (a conversion leaves out second parts of pairs, models without "
                "materials and placements outside the island):\n");
    int located = 0;
    for (const ResourceEntry& r : t.resources) located += r.position != 0;
    std::printf("  Resources: %d\n", t.resourceCount);
    std::printf("  Located: %d (world table %d, blocks %d, trailing blocks %d, extra blocks %d); not located: %d\n",
                located, s.locatedByWorldTable, s.locatedByBlocks, s.locatedByTrailingBlocks, s.locatedByExtraBlocks,
                t.resourceCount - located);
    std::printf("  Cells: %d (extra cells %d); trailing blocks: %d; extra blocks: %d\n", s.cells, s.extraCells,
                s.trailingBlocks, s.extraBlocks);
    const int lists = worldLayout(o.edition).instanceLists;
    std::printf("  Models by instance list:");
    for (int j = 0; j < lists; ++j) {
        int n = 0;
        for (const ModelRecord& m : t.models) n += (m.lists >> j) & 1;
        std::printf("%s %d: %d", j == 0 ? "" : ",", j, n);
    }
    std::printf("\n");
    int models = 0, megaLods = 0, pairModels = 0;
    for (const ModelRecord& m : t.models) {
        models += m.instanced;
        megaLods += m.megaLod;
        pairModels += m.isPairModel;
    }
    int instances = 0, pairs = 0;
    for (const PlacedInstance& i : t.instances) {
        instances += i.defined;
        pairs += i.defined && i.pairModel >= 0;
    }
    std::printf("  Models: %d (MegaLODs %d, second parts of pairs %d)\n", models, megaLods, pairModels);
    std::printf("  Instances: %d (instance records %d); pairs: %d\n", instances, s.instanceRecords, pairs);
}

} // namespace

int runConvertCommand(const ConvertRequest& request) {
    if (namesABatch(request.levels)) return runBatchCommand(request);
    const ConversionOptions options = optionsForLevel(request, request.levels.at(0));
    RunWatcher watcher(request.verbosity);
    InterruptGuard interrupt;
    try {
        const RunCallbacks callbacks = watcher.callbacks();
        const RunSummary summary = runConversion(options, callbacks);
        watcher.progress.finish();
        if (summary.stopped) {
            std::fprintf(stderr, "%s\n", kInterruptedMessage);
            return kInterruptedExitCode;
        }
        if (!watcher.editionLine.empty()) std::printf("%s\n", watcher.editionLine.c_str());
        std::printf("%s\n", convertedLine(summary, options).c_str());
        printIsland(summary, options);
        if (summary.warnings > 0) std::printf("%d warning(s)\n", summary.warnings);
        for (const std::string& line : warningCountLines(watcher.warnings)) std::printf("  %s\n", line.c_str());
        if (!summary.reportFolder.empty()) std::printf("Report: %s\n", (summary.reportFolder / "index.html").string().c_str());
        std::printf("%s\n", kAllDoneMessage);
        return 0;
    } catch (const EditionRefused& e) {
        watcher.progress.finish();
        std::fprintf(stderr, "%s\n", editionRefusalLine(e.choice()).c_str());
        return 1;
    } catch (const std::exception& e) {
        watcher.progress.finish();
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

int runInfoCommand(const ConvertRequest& request, ConversionOptions options) {
    try {
        RunCallbacks callbacks;
        callbacks.warning = [](WarningKind, const std::string& text) { std::printf("warning: %s\n", text.c_str()); };
        const PreparedLevel prepared = prepareLevel(options, callbacks, PrepareFor::Inspection);
        printLevel(prepared);
        if (request.infoReport) {
            writeLevelReport(*request.infoReport, prepared.options, prepared.level, prepared.tables,
                             prepared.zones ? &*prepared.zones : nullptr, prepared.editionDetected);
            std::printf("Report: %s\n", (*request.infoReport / "index.html").string().c_str());
        }
        return 0;
    } catch (const EditionRefused& e) {
        std::fprintf(stderr, "%s\n", editionRefusalLine(e.choice()).c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

} // namespace veldrin::cli
