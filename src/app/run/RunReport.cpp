#include "app/run/RunReport.h"

#include <future>

#include "app/options/RunRecordOptions.h"
#include "report/LevelContent.h"
#include "report/LevelPictures.h"
#include "report/ReportFolder.h"
#include "report/WarningKinds.h"
#include "report/WrittenFiles.h"
#include "texture/DictionaryDecoder.h"

namespace veldrin {

std::vector<MapZone> islandZones(const ZoneTable& zones, int island) {
    std::vector<MapZone> out;
    for (const ZoneEntry& z : zones)
        if (z.island == island) out.push_back({z.name, z.min[0], z.min[1], z.max[0], z.max[1]});
    return out;
}

std::filesystem::path writeRunReport(const ConversionOptions& options, const LevelBuffer& level, const WorldTables& tables,
                                     const ZoneTable* zones, RunReportInput input) {
    RunRecord record;
    record.level = recordedLevel(options, input.editionDetected);
    record.options = recordedOptions(options);
    record.output = options.levelFolder().string();
    // The files are hashed while the pictures are drawn: neither waits for the other.
    std::future<std::vector<RecordedFile>> hashed = std::async(std::launch::async, [&] {
        return hashWrittenFiles(options.levelFolder(), input.files, options.jobs);
    });
    record.counts.models = static_cast<int>(input.models.size());
    record.counts.modelsSkipped = input.modelsSkipped;
    record.counts.dictionaries = static_cast<int>(input.dictionaries.size());
    record.counts.textures = input.textures;
    record.counts.placements = static_cast<int>(input.placements.size());
    for (const RunWarning& w : input.warnings) record.warn(std::string(describeWarning(w.kind).id), w.text);
    record.seconds = input.seconds;

    ReportContent content;
    content.jobs = options.jobs;
    content.levelTexture = levelTextureLookup(level.all(), tables.resources, tables.edition);
    for (const auto& [name, bytes] : input.dictionaries) {
        content.sheets.push_back({name, [&bytes = bytes, name = name] { return decodeDictionary(bytes, name + ".TXD"); }});
    }
    // Drawing every model costs more than the conversion; the page draws its previews itself.
    if (options.reportThumbnails) content.thumbnails = modelThumbnails(level.all(), tables.edition, input.models);
    content.mapPoints = std::move(input.placements);
    if (zones && options.zonIsland) content.zones = islandZones(*zones, *options.zonIsland);

    // The 3D view's level, read back from the bytes written; what cannot be read is a warning.
    std::vector<SceneDictionaryInput> dictionaries;
    for (const auto& [name, bytes] : input.dictionaries) dictionaries.push_back({name, bytes});
    std::vector<std::string> sceneProblems;
    // The view shows the texels from the sheets' pictures, so they are not decoded again here.
    const Scene scene = buildScene(options.levelName, input.sceneModels, dictionaries, input.scenePlacements, sceneProblems,
                                   SceneTexels::Skipped, options.jobs);
    for (const std::string& problem : sceneProblems)
        record.warn(std::string(describeWarning(WarningKind::Report).id), "the 3D view leaves out " + problem);
    content.scene = &scene;

    content.completeRecord = [&hashed](RunRecord& r) { r.files = hashed.get(); };

    const std::filesystem::path folder = reportFolderFor(options.outputFolder, options.levelName);
    writeReportFolder(folder, std::move(record), content);
    return folder;
}

} // namespace veldrin
