#include "app/run/LevelReport.h"

#include <set>

#include "app/run/RunPlan.h"
#include "app/options/RunRecordOptions.h"
#include "app/run/RunReport.h"
#include "base/TextUtil.h"
#include "pcout/IdeIpl.h"
#include "report/ReportFolder.h"

namespace veldrin {

ReportContent plannedLevelContent(const ConversionOptions& options, const LevelBuffer& level, const WorldTables& tables,
                                  const ZoneTable* zones, RunRecord& record) {
    const RunPlan plan = planRun(level, tables, options, zones);
    std::vector<ReportModel> models;
    std::set<int> textureIds;
    std::vector<bool> planned(tables.models.size(), false);
    for (const PlannedModel& p : plan.models) {
        models.push_back({p.name, p.firstPart, p.secondPart, p.scale, std::nullopt, toUpper(options.levelName) + "TXD"});
        textureIds.insert(p.textureIds.begin(), p.textureIds.end());
        planned[static_cast<std::size_t>(p.resourceIndex)] = true;
    }
    for (const ReportModel& m : models) record.models.push_back({m.name, std::nullopt, toUpper(options.levelName) + "TXD"});
    std::vector<MapPoint> points;
    for (const PlannedInstance& instance : plan.instances) {
        const std::size_t model = static_cast<std::size_t>(instance.model);
        if (model >= planned.size() || !planned[model]) continue;
        const std::array<double, 3> at = offsetPosition(instance.position, options.mapOffset);
        points.push_back({at[0], at[1], placementKind(tables.models[model]),
                          modelName(tables.models[model], instance.model, options.modelPrefix, options.lodPrefix())});
    }
    ReportContent content = levelContent(level.all(), tables, models, std::vector<int>(textureIds.begin(), textureIds.end()),
                                         std::move(points), toUpper(options.levelName) + "TXD", options.texturePrefix,
                                         record, options.jobs);
    if (zones && options.zonIsland) content.zones = islandZones(*zones, *options.zonIsland);
    return content;
}

void writeLevelReport(const std::filesystem::path& folder, const ConversionOptions& options, const LevelBuffer& level,
                      const WorldTables& tables, const ZoneTable* zones, bool editionDetected) {
    RunRecord record;
    record.level = recordedLevel(options, editionDetected);
    // Only what info takes: a convert's options would tell of files the pictures do not draw.
    record.options = recordedOptions(options, kInfoOptions);
    record.optionsChanged = changedOptions(options, kInfoOptions);
    record.converted = false;
    const ReportContent content = plannedLevelContent(options, level, tables, zones, record);
    writeReportFolder(folder, std::move(record), content);
}

} // namespace veldrin
