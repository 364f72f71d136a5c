#pragma once
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "base/Editions.h"
#include "imaging/Imaging.h"
#include "pcout/IdeIpl.h"
#include "texture/MipMapRule.h"

namespace veldrin {

enum class TxdMode { NoTxd, OneBigTxd, TxdPerGroup };

// Every setting of one conversion run. The front ends fill it; the run and the converters read it.
struct ConversionOptions {
    GameVersion edition = GameVersion::LcsPs2;
    bool editionAuto = false;                  // detect the edition; else edition, refused when it does not fit
    TargetGame targetGame = TargetGame::Gta3;
    bool generateIde = false;
    int idOffset = 1000;                       // 0 or more
    MapOffset mapOffset{};                     // added to every placement (front ends: parseMapOffset)
    TxdMode txdMode = TxdMode::OneBigTxd;
    int modelsPerTxd = 50;                     // 1 or more
    std::string modelPrefix;                   // LevelName after a pick
    std::string texturePrefix;                 // LevelName after a pick
    std::string levelName;
    std::filesystem::path lvzPath;
    std::filesystem::path imgPath;
    std::filesystem::path outputFolder;        // output goes to outputFolder / levelName
    bool genBlankCol = false;
    bool genMipMaps = false;
    MipMapThreshold mipSizeThreshold = MipMapThreshold::All; // the textures that get mip-maps
    DxtQuality dxtQuality = DxtQuality::Exact; // block encoder of VC and SA dictionaries
    bool genNightPrelit = false;
    int prelightDayMinimum = 64;               // 0..255
    int prelightNightMinimum = 16;             // 0..255
    bool optimiseMesh = false;
    bool buildImg = false;
    bool useZon = false;
    std::optional<int> zonIsland;              // 0..255; none: the smallest island of the zone file
    bool forceMegaLods = false;
    std::filesystem::path zonPath;
    int jobs = 1;                              // worker threads; the output never depends on it
    bool writeReport = false;                  // the report folder beside the level's output folder
    bool reportThumbnails = false;             // with the report: PNG sheets of every model's picture
    bool writeGltf = false;                    // LevelName.glb in the level's folder: the whole level placed
    bool clean = false;                        // remove the level's old output folder and report first

    // "LOD" followed by the model prefix from its fourth character on.
    std::string lodPrefix() const;
    std::filesystem::path levelFolder() const { return outputFolder / levelName; }
    bool onePerModel() const { return txdMode == TxdMode::TxdPerGroup && modelsPerTxd == 1; }
    // The report's 3D view and the glTF file show the level as written: the run keeps its models,
    // dictionaries and placements.
    bool keepsWrittenLevel() const { return writeReport || writeGltf; }
};

std::string lodPrefixFor(const std::string& modelPrefix);

// IMG path paired with an LVZ: the extension replaced by ".IMG" whatever its case.
std::filesystem::path pairedImgPath(const std::filesystem::path& lvzPath);
// Level name from the IMG path: lower case, file name without extension, blanks trimmed.
std::string levelNameFromImg(const std::filesystem::path& imgPath);
// Sets the paths, the level name, both prefixes and the output folder for a picked LVZ.
void applyLevelPick(ConversionOptions& options, const std::filesystem::path& lvzPath);

} // namespace veldrin
