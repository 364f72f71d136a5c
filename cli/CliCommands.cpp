#include "cli/CliCommands.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/ConversionRun.h"
#include "app/EditionDetection.h"
#include "app/LevelReport.h"
#include "app/Preflight.h"
#include "app/StaleFiles.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "cli/BatchCommand.h"
#include "cli/Interrupt.h"
#include "cli/Progress.h"
#include "cli/WarningCounts.h"
#include "level/LevelInput.h"
#include "level/WorldReader.h"
#include "level/ZonFile.h"

namespace veldrin::cli {

namespace {

// The level's files, before anything is read. The IMG pairs with the LVZ by name; a missing one is
// reported as the window reports it. Throws VeldrinError.
void checkLevelFiles(const ConversionOptions& o) {
    requireInputFile(o.lvzPath);
    if (!std::filesystem::exists(o.imgPath)) throw VeldrinError(o.imgPath.string() + " not found");
    requireInputFile(o.imgPath);
}

} // namespace

// Without --island the run keeps the smallest island of the zone file, as the window's first pick
// does. A zone file that cannot be read ends the run: converting the whole level instead is not
// what was asked for.
ZoneTable readZoneFile(const std::filesystem::path& zonPath) {
    requireInputFile(zonPath);
    return readZoneTable(readWholeFile(zonPath), zonPath.string());
}

int islandToKeep(const ConvertRequest& request, const ZoneTable& zones, const std::filesystem::path& zonPath) {
    if (request.islandGiven) return request.settings.options.zonIsland;
    if (zones.empty()) throw VeldrinError(zonPath.string() + ": holds no zone, so no placement would be kept");
    int smallest = zones.front().island;
    for (const ZoneEntry& zone : zones) smallest = std::min<int>(smallest, zone.island);
    return smallest;
}

int runConvertCommand(const ConvertRequest& request) {
    if (namesABatch(request.levels)) return runBatchCommand(request);
    ConversionOptions options = optionsForLevel(request, request.levels.at(0));
    try {
        checkLevelFiles(options);
        if (options.useZon) options.zonIsland = islandToKeep(request, readZoneFile(options.zonPath), options.zonPath);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    TerminalProgress progress(stderr, request.verbosity);
    RunCallbacks callbacks;
    callbacks.status = [&](const std::string& text) {
        if (text != kAllDoneMessage) progress.status(text);
    };
    callbacks.progress = [&](int position, int maximum) { progress.progress(position, maximum); };
    std::vector<std::string> warnings;
    callbacks.warning = [&](const std::string& text) {
        warnings.push_back(text);
        progress.warning(text);
    };
    InterruptGuard interrupt;
    callbacks.stopRequested = [] { return InterruptGuard::requested(); };
    std::string editionLine;
    callbacks.edition = [&editionLine](GameVersion edition, bool detected) {
        editionLine = "Edition: " + editionTitle(edition) + (detected ? " (detected)" : "");
    };
    try {
        if (request.settings.clean) cleanLevelFolder(options.outputFolder, options.levelName, {options.lvzPath, options.imgPath, options.zonPath});
        const std::vector<std::string> before = folderEntries(options.levelFolder());
        RunSummary summary = runConversion(options, callbacks);
        if (const std::size_t stale = staleEntries(before, summary.files).size(); stale > 0 && !summary.stopped) {
            progress.warning(staleFilesWarning(options.levelFolder(), stale));
            ++summary.warnings;
        }
        progress.finish();
        if (summary.stopped) {
            std::fprintf(stderr, "%s\n", kInterruptedMessage);
            return kInterruptedExitCode;
        }
        if (!editionLine.empty()) std::printf("%s\n", editionLine.c_str());
        std::printf("%s\n", convertedLine(summary, options.levelFolder()).c_str());
        if (options.useZon) {
            std::printf("Kept the placements of island %d of %s%s\n", options.zonIsland, options.zonPath.string().c_str(),
                        request.islandGiven ? "" : " (the smallest island in the file)");
        }
        if (summary.warnings > 0) std::printf("%d warning(s)\n", summary.warnings);
        for (const std::string& line : warningCountLines(warnings)) std::printf("  %s\n", line.c_str());
        if (!summary.reportFolder.empty()) std::printf("Report: %s\n", (summary.reportFolder / "index.html").string().c_str());
        std::printf("%s\n", kAllDoneMessage);
        return 0;
    } catch (const std::exception& e) {
        progress.finish();
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

int runInfoCommand(const ConvertRequest& request, ConversionOptions options) {
    try {
        checkLevelFiles(options);
        const LevelBuffer level = loadLevel(options.lvzPath, options.imgPath);
        const EditionDetection detection = detectEdition(level);
        const std::optional<GameVersion> named =
            options.editionAuto ? std::nullopt : std::optional<GameVersion>(options.gameVersion);
        const EditionChoice choice = chooseEdition(detection, named, options.lvzPath.filename().string());
        if (!choice.edition) throw EditionRefused(choice);
        const GameVersion edition = *choice.edition;
        const WorldTables t = readWorld(level, edition);
        const WorldStats& s = t.stats;
        int located = 0;
        for (const ResourceEntry& r : t.resources) located += r.position != 0;
        std::printf("Level: %s (%s), edition %s%s\n", options.levelName.c_str(), options.lvzPath.string().c_str(),
                    std::string(gameVersionName(edition)).c_str(), choice.detected ? " (detected)" : "");
        for (const std::string& line : otherEditionLines(detection, edition)) std::printf("  %s\n", line.c_str());
        std::printf("IMG: %lld bytes; world resource: %lld bytes\n", static_cast<long long>(level.worldBase),
                    static_cast<long long>(level.bytes.size() - level.worldBase));
        std::printf("Resources: %d\n", t.resourceCount);
        std::printf("Located: %d (world table %d, blocks %d, trailing blocks %d, extra blocks %d); not located: %d\n",
                    located, s.locatedByWorldTable, s.locatedByBlocks, s.locatedByTrailingBlocks, s.locatedByExtraBlocks,
                    t.resourceCount - located);
        std::printf("Cells: %d (extra cells %d); trailing blocks: %d; extra blocks: %d\n", s.cells, s.extraCells,
                    s.trailingBlocks, s.extraBlocks);
        const int lists = worldLayout(edition).instanceLists;
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
        if (request.infoReport) {
            options.gameVersion = edition;
            std::optional<ZoneTable> zones;
            if (options.useZon) {
                zones = readZoneFile(options.zonPath);
                options.zonIsland = islandToKeep(request, *zones, options.zonPath);
                if (const auto w = emptyIslandWarning(*zones, options.zonIsland, options.zonPath.filename().string()))
                    std::printf("warning: %s\n", w->c_str());
            }
            writeLevelReport(*request.infoReport, options, level, t, zones ? &*zones : nullptr, choice.detected);
            std::printf("Report: %s\n", (*request.infoReport / "index.html").string().c_str());
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace veldrin::cli
