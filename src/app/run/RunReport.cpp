#include "app/run/RunReport.h"

#include <future>
#include <unordered_map>

#include "app/options/RunRecordOptions.h"
#include "report/LevelContent.h"
#include "report/LevelPictures.h"
#include "report/Sha256.h"
#include "report/ReportFolder.h"
#include "report/WarningKinds.h"
#include "report/WrittenFiles.h"
#include "texture/DictionaryDecoder.h"

namespace veldrin {

std::vector<SceneDictionaryInput> sceneDictionaries(const std::vector<WrittenDictionary>& written) {
    std::vector<SceneDictionaryInput> dictionaries;
    for (const WrittenDictionary& d : written) dictionaries.push_back({d.name, *d.bytes});
    return dictionaries;
}

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
    record.optionsChanged = changedOptions(options);
    record.output = options.levelFolder().string();
    // The files are hashed while the pictures are drawn: neither waits for the other. The models were
    // hashed as they were made and the dictionaries are still in memory; the rest is read back.
    std::future<std::vector<RecordedFile>> hashed = std::async(std::launch::async, [&] {
        std::unordered_map<std::string, std::string> known = std::move(input.fileHashes);
        for (const WrittenDictionary& d : input.dictionaries) known.emplace(d.file, sha256Hex(*d.bytes));
        return hashWrittenFiles(options.levelFolder(), input.files, options.jobs, known);
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
    for (const auto& [name, file, bytes] : input.dictionaries) {
        // Each texture is decoded straight into its cell of the sheet.
        content.sheets.push_back({name, [&bytes = bytes, name = name] {
                                      auto dictionary = std::make_shared<const DictionaryTexels>(*bytes, name + ".TXD");
                                      return SheetTextures{dictionary->textures(), [dictionary](std::size_t i, uint8_t* cell, std::size_t rowBytes) {
                                                               dictionary->decode(i, cell, rowBytes);
                                                           }};
                                  }});
    }
    // Drawing every model costs more than the conversion; the page draws its previews itself.
    if (options.reportThumbnails) content.thumbnails = modelThumbnails(level.all(), tables.edition, input.models);
    content.mapPoints = std::move(input.placements);
    if (zones && options.zonIsland) content.zones = islandZones(*zones, *options.zonIsland);

    // The 3D view's level: the models as their files hold them, the dictionaries read back from the bytes
    // written (what cannot be read is a warning). The view shows the texels from the sheets' pictures,
    // so they are not decoded again here.
    content.scene = [&] {
        ViewScene view;
        view.scene = buildScene(options.levelName, std::move(input.sceneModels), sceneDictionaries(input.dictionaries), input.scenePlacements,
                                view.problems, SceneTexels::Skipped);
        return view;
    };

    content.completeRecord = [&](RunRecord& r) {
        r.files = hashed.get();
        r.models.reserve(input.models.size());
        for (const ReportModel& m : input.models) r.models.push_back({m.name, m.ideId, m.dictionary, m.triangles, m.vertices, m.bytes});
    };

    const std::filesystem::path folder = reportFolderFor(options.outputFolder, options.levelName);
    writeReportFolder(folder, std::move(record), content);
    return folder;
}

} // namespace veldrin
