#pragma once
#include <unordered_map>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "level/LevelInput.h"
#include "level/WorldTables.h"
#include "level/ZonFile.h"
#include "pcout/OutputSink.h"
#include "report/LevelContent.h"
#include "report/PlacementMap.h"
#include "report/WarningKinds.h"
#include "scene/Scene.h"

namespace veldrin {

// A dictionary the run wrote, kept for the report's sheet and the 3D view (or the glTF file).
struct WrittenDictionary {
    std::string name; // without extension
    std::string file; // its name in the sink's record
    std::shared_ptr<const std::vector<uint8_t>> bytes; // shared with the archive until it is written
};

// The dictionaries as the scene reads them.
std::vector<SceneDictionaryInput> sceneDictionaries(const std::vector<WrittenDictionary>& written);

// What a conversion run hands its report, gathered as the run goes.
struct RunReportInput {
    std::vector<WrittenDictionary> dictionaries;
    std::unordered_map<std::string, std::string> fileHashes;                // SHA-256 of files taken as they were put
    std::vector<ReportModel> models;                                        // as committed
    std::vector<MapPoint> placements;                                       // as written to the IPL
    std::vector<SceneModel> sceneModels;                                    // as committed, as their DFFs hold them
    std::vector<ScenePlacementInput> scenePlacements;                       // as written to the IPL
    std::vector<WrittenFile> files;                                         // the output sink's record
    std::vector<RunWarning> warnings;
    int modelsSkipped = 0;
    int textures = 0; // textures in the dictionaries written
    double seconds = 0;
    bool editionDetected = false;
};

// Writes DIR/LevelName-report for a finished run and returns its path: the files hashed (the models
// and dictionaries from the bytes the run put, the rest as read back from disk, every size checked), sheets decoded back from the dictionaries' bytes, thumbnails of the converted models read
// from the level, the map of the placements with the zones of the chosen island when `zones` is given.
std::filesystem::path writeRunReport(const ConversionOptions& options, const LevelBuffer& level, const WorldTables& tables,
                                     const ZoneTable* zones, RunReportInput input);

// The zones of one island, seen from above.
std::vector<MapZone> islandZones(const ZoneTable& zones, int island);

} // namespace veldrin
