#include "app/options/OptionTable.h"

#include <array>
#include <initializer_list>

#include "app/options/MapOffset.h"
#include "app/options/OptionText.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "texture/MipMapRule.h"

namespace veldrin {

namespace {

using V = RunRecord::OptionValue;

const char* txdName(TxdMode mode) {
    return mode == TxdMode::NoTxd ? "none" : mode == TxdMode::OneBigTxd ? "one" : "group";
}

constexpr int kMaxInt = 2147483647;

// In the order of the help; the manifest lists them in the same order.
const std::vector<OptionEntry> kOptions = {
    {.id = OptionId::Clean, .name = "clean", .shortName = "", .valueLabel = "",
     .meaning = "remove each level's old output folder (and its report with --report) first", .defaultText = "",
     .section = "", .flag = &ConversionOptions::clean},
    {.id = OptionId::Out, .name = "out", .shortName = "o", .valueLabel = "DIR", .meaning = "write the level's folder into DIR",
     .defaultText = ": the folder of the LVZ", .section = "",
     .set = [](ConversionOptions& o, const std::string& v) { o.outputFolder = v; },
     .record = [](const ConversionOptions& o) { return V(o.outputFolder.string()); },
     .settingsKeys = {"options/OutputFolder"}},
    {.id = OptionId::Edition, .name = "edition", .shortName = "", .valueLabel = "EDITION",
     .meaning = "source edition: auto, lcs-ps2, vcs-ps2, lcs-psp or vcs-psp",
     .defaultText = "auto: detected from the level; a named edition that another reads clearly better is refused",
     .section = "",
     .set =
         [](ConversionOptions& o, const std::string& v) {
             o.editionAuto = toLower(v) == "auto";
             if (o.editionAuto) return;
             const auto edition = parseEdition(toLower(v));
             if (!edition) throw VeldrinError("unknown edition \"" + v + "\" (auto, lcs-ps2, vcs-ps2, lcs-psp or vcs-psp)");
             o.edition = *edition;
         },
     .record = [](const ConversionOptions& o) { return V(std::string(editionName(o.edition))); },
     .settingsKeys = {"options/LCSPS2", "options/VCSPS2", "options/LCSPSP", "options/VCSPSP"}},
    {.id = OptionId::Report, .name = "report", .shortName = "", .valueLabel = "",
     .meaning = "write a report folder LevelName-report beside the level's folder (pictures, files, warnings)",
     .defaultText = "", .section = "Output",
     .flag = &ConversionOptions::writeReport,
     .settingsKeys = {"options/WriteReport"}},
    {.id = OptionId::ReportThumbnails, .name = "report-thumbnails", .shortName = "", .valueLabel = "",
     .meaning = "also draw every model into PNG sheets in the report's models folder (the page draws its own previews)",
     .defaultText = "", .section = "Output", .refines = OptionId::Report,
     .flag = &ConversionOptions::reportThumbnails},
    {.id = OptionId::Gltf, .name = "gltf", .shortName = "", .valueLabel = "",
     .meaning = "also write LevelName.glb into the level's folder: the whole level as placed, one glTF 2.0 file for "
                "modelling programs and engines (models, placements, embedded textures, prelight as vertex colours)",
     .defaultText = "", .section = "Output",
     .flag = &ConversionOptions::writeGltf,
     .record = [](const ConversionOptions& o) { return V(o.writeGltf); }},
    {.id = OptionId::Target, .name = "target", .shortName = "", .valueLabel = "GAME",
     .meaning = "PC game to write for: gta3, vc or sa", .defaultText = "gta3", .section = "",
     .set =
         [](ConversionOptions& o, const std::string& v) { o.targetGame = targetGameOf(v); },
     .record = [](const ConversionOptions& o) { return V(std::string(targetGameName(o.targetGame))); },
     .settingsKeys = {"options/GTA3", "options/GTAVC", "options/GTASA"}},
    {.id = OptionId::Txd, .name = "txd", .shortName = "", .valueLabel = "MODE",
     .meaning = "texture dictionaries: none; one for all models; or group, one per --models-per-txd models",
     .defaultText = "one", .section = "Textures",
     .set =
         [](ConversionOptions& o, const std::string& v) {
             o.txdMode = std::array{TxdMode::NoTxd, TxdMode::OneBigTxd,
                                            TxdMode::TxdPerGroup}[choiceIndex("TXD option", v, {"none", "one", "group"})];
         },
     .record = [](const ConversionOptions& o) { return V(std::string(txdName(o.txdMode))); },
     .settingsKeys = {"options/NoTXD", "options/MakeGenTXD", "options/MakeGroupTXD"}},
    {.id = OptionId::ModelsPerTxd, .name = "models-per-txd", .shortName = "", .valueLabel = "N",
     .meaning = "models per dictionary, 1 or more", .defaultText = "50", .section = "Textures",
     .refines = OptionId::Txd, .refinesWhen = "group",
     .set = [](ConversionOptions& o, const std::string& v) { o.modelsPerTxd = wholeNumberIn("--models-per-txd", v, 1, kMaxInt); },
     .record = [](const ConversionOptions& o) { return V(int64_t{o.modelsPerTxd}); },
     .settingsKeys = {"options/ModelsPerTXD"}},
    {.id = OptionId::TexturePrefix, .name = "texture-prefix", .shortName = "", .valueLabel = "TEXT",
     .meaning = "prefix of every texture name", .defaultText = ": the level's name", .section = "Textures",
     .set = [](ConversionOptions& o, const std::string& v) { o.texturePrefix = v; },
     .record = [](const ConversionOptions& o) { return V(o.texturePrefix); }},
    {.id = OptionId::Mipmaps, .name = "mipmaps", .shortName = "", .valueLabel = "", .meaning = "generate mip-maps",
     .defaultText = "", .section = "Textures", .targets = kForVc | kForSa, .title = "mip-map",
     .targetNote = "mip-maps are made for",
     .flag = &ConversionOptions::genMipMaps,
     .record = [](const ConversionOptions& o) { return V(o.genMipMaps); },
     .settingsKeys = {"options/GenMipMaps"}},
    {.id = OptionId::DxtQuality, .name = "dxt-quality", .shortName = "", .valueLabel = "QUALITY",
     .meaning = "block compression of the dictionaries: exact (the same bytes as ever) or high (endpoints fitted "
                "to each block, closer to the source, slower)",
     .defaultText = "exact", .section = "Textures", .targets = kForVc | kForSa, .title = "block compression quality",
     .targetNote = "block compression is used for",
     .set =
         [](ConversionOptions& o, const std::string& v) {
             o.dxtQuality = std::array{DxtQuality::Exact, DxtQuality::High}[choiceIndex("DXT quality", v, {"exact", "high"})];
         },
     .record = [](const ConversionOptions& o) { return V(std::string(o.dxtQuality == DxtQuality::High ? "high" : "exact")); },
     .settingsKeys = {"mipmaps/DxtQualityList"}},
    {.id = OptionId::MipmapThreshold, .name = "mipmap-threshold", .shortName = "", .valueLabel = "SIZE",
     .meaning = "only textures wider than SIZE get them: all, 16, 32, 64 or 128", .defaultText = "all",
     .section = "Textures", .targets = kForVc | kForSa, .refines = OptionId::Mipmaps,
     .set =
         [](ConversionOptions& o, const std::string& v) {
             const auto threshold = parseMipMapThreshold(v);
             if (!threshold) throw VeldrinError("unknown mip-map threshold \"" + v + "\" (all, 16, 32, 64 or 128)");
             o.mipSizeThreshold = *threshold;
         },
     .record = [](const ConversionOptions& o) { return V(std::string(mipMapThresholdName(o.mipSizeThreshold))); },
     .settingsKeys = {"mipmaps/MipMapList"}},
    {.id = OptionId::ModelPrefix, .name = "model-prefix", .shortName = "", .valueLabel = "TEXT",
     .meaning = "prefix of the models' names; distant models are named LOD and the prefix from its fourth "
                "character on",
     .defaultText = ": the level's name", .section = "Models",
     .set = [](ConversionOptions& o, const std::string& v) { o.modelPrefix = v; },
     .record = [](const ConversionOptions& o) { return V(o.modelPrefix); }},
    {.id = OptionId::OptimiseMesh, .name = "optimise-mesh", .shortName = "", .valueLabel = "",
     .meaning = "weld shared vertices (recommended)", .defaultText = "", .section = "Models",
     .flag = &ConversionOptions::optimiseMesh,
     .record = [](const ConversionOptions& o) { return V(o.optimiseMesh); },
     .settingsKeys = {"options/OptimiseMesh"}},
    {.id = OptionId::NightPrelight, .name = "night-prelight", .shortName = "", .valueLabel = "",
     .meaning = "write night vertex colours", .defaultText = "", .section = "Models", .targets = kForSa,
     .title = "night prelight", .targetNote = "night prelight is written for",
     .flag = &ConversionOptions::genNightPrelit,
     .record = [](const ConversionOptions& o) { return V(o.genNightPrelit); },
     .settingsKeys = {"options/GenNightPrelit"}},
    {.id = OptionId::DayMin, .name = "day-min", .shortName = "", .valueLabel = "N",
     .meaning = "lowest lightness by day, 0 to 255", .defaultText = "64", .section = "Models", .targets = kForSa,
     .refines = OptionId::NightPrelight,
     .set = [](ConversionOptions& o, const std::string& v) { o.prelightDayMinimum = wholeNumberIn("--day-min", v, 0, 255); },
     .record = [](const ConversionOptions& o) { return V(int64_t{o.prelightDayMinimum}); },
     .settingsKeys = {"prelight/TrackBar1"}},
    {.id = OptionId::NightMin, .name = "night-min", .shortName = "", .valueLabel = "N",
     .meaning = "lowest lightness at night, 0 to 255", .defaultText = "16", .section = "Models", .targets = kForSa,
     .refines = OptionId::NightPrelight,
     .set = [](ConversionOptions& o, const std::string& v) { o.prelightNightMinimum = wholeNumberIn("--night-min", v, 0, 255); },
     .record = [](const ConversionOptions& o) { return V(int64_t{o.prelightNightMinimum}); },
     .settingsKeys = {"prelight/TrackBar2"}},
    {.id = OptionId::BlankCol, .name = "blank-col", .shortName = "", .valueLabel = "",
     .meaning = "write a blank collision file for the models", .defaultText = "", .section = "Models",
     .flag = &ConversionOptions::genBlankCol,
     .record = [](const ConversionOptions& o) { return V(o.genBlankCol); },
     .settingsKeys = {"options/GenBlankCol"}},
    {.id = OptionId::Img, .name = "img", .shortName = "", .valueLabel = "",
     .meaning = "pack the models and dictionaries into an IMG archive", .defaultText = "", .section = "Models",
     .flag = &ConversionOptions::buildImg,
     .record = [](const ConversionOptions& o) { return V(o.buildImg); },
     .settingsKeys = {"options/BuildIMG"}},
    {.id = OptionId::Ide, .name = "ide", .shortName = "", .valueLabel = "", .meaning = "write the IDE and IPL files",
     .defaultText = "", .section = "Placements",
     .flag = &ConversionOptions::generateIde,
     .record = [](const ConversionOptions& o) { return V(o.generateIde); },
     .settingsKeys = {"options/GenerateIDE"}},
    {.id = OptionId::IdOffset, .name = "id-offset", .shortName = "", .valueLabel = "N",
     .meaning = "the first object ID, 0 or more", .defaultText = "1000", .section = "Placements",
     .refines = OptionId::Ide,
     .set = [](ConversionOptions& o, const std::string& v) { o.idOffset = wholeNumberIn("--id-offset", v, 0, kMaxInt); },
     .record = [](const ConversionOptions& o) { return V(int64_t{o.idOffset}); },
     .settingsKeys = {"options/IDoffset"}},
    {.id = OptionId::MapOffset, .name = "map-offset", .shortName = "", .valueLabel = "X,Y,Z",
     .meaning = "added to every placement, \".\" for decimals", .defaultText = "0,0,0", .section = "Placements",
     .refines = OptionId::Ide,
     .set = [](ConversionOptions& o, const std::string& v) { o.mapOffset = parseMapOffset(v, MapOffsetMessages::Conversion); },
     .record = [](const ConversionOptions& o) { return V(mapOffsetText(o.mapOffset)); },
     .settingsKeys = {"options/MapOffsetX", "options/MapOffsetY", "options/MapOffsetZ"}},
    {.id = OptionId::Zon, .name = "zon", .shortName = "", .valueLabel = "MAP.ZON",
     .meaning = "keep only the placements inside the zones of one island", .defaultText = "", .section = "Placements",
     .set =
         [](ConversionOptions& o, const std::string& v) {
             o.zonPath = v;
             o.useZon = true;
         },
     .record = [](const ConversionOptions& o) { return V(o.useZon ? o.zonPath.string() : std::string()); }},
    {.id = OptionId::Island, .name = "island", .shortName = "", .valueLabel = "N", .meaning = "the island, 0 to 255",
     .defaultText = ": the smallest island in the file", .section = "Placements", .refines = OptionId::Zon,
     .set = [](ConversionOptions& o, const std::string& v) { o.zonIsland = wholeNumberIn("--island", v, 0, 255); },
     .record = [](const ConversionOptions& o) { return V(int64_t{o.zonIsland.value_or(0)}); }},
    {.id = OptionId::ForceMegalods, .name = "force-megalods", .shortName = "", .valueLabel = "",
     .meaning = "keep the MegaLOD placements outside the island too (the window ticks it with \"Use ZON\")",
     .defaultText = "", .section = "Placements", .refines = OptionId::Zon,
     .flag = &ConversionOptions::forceMegaLods,
     .record = [](const ConversionOptions& o) { return V(o.forceMegaLods); }},
    {.id = OptionId::Jobs, .name = "jobs", .shortName = "j", .valueLabel = "N",
     .meaning = "worker threads, 1 to 256; the output is the same for any", .defaultText = ": one per core",
     .section = "Output",
     .set = [](ConversionOptions& o, const std::string& v) { o.jobs = wholeNumberIn("--jobs", v, 1, 256); },
     .record = [](const ConversionOptions& o) { return V(int64_t{o.jobs}); }},
};

} // namespace

std::span<const OptionEntry> optionTable() { return kOptions; }

const OptionEntry& optionEntry(OptionId id) {
    for (const OptionEntry& entry : kOptions) {
        if (entry.id == id) return entry;
    }
    throw VeldrinError("option " + std::to_string(static_cast<int>(id)) + " is not in the option table");
}

std::string refinementNeeds(const OptionEntry& entry) {
    if (!entry.refines) return "";
    const std::string parent = std::string("--") + optionEntry(*entry.refines).name;
    return *entry.refinesWhen ? parent + " " + entry.refinesWhen : parent;
}

bool refinedOptionActs(const OptionEntry& entry, const ConversionOptions& options) {
    if (!entry.refines) return true;
    const OptionEntry& parent = optionEntry(*entry.refines);
    if (!parent.record) return options.*parent.flag; // a flag the manifest does not record (--report)
    const V value = parent.record(options);
    // A named value ("--txd group"), or any other than the default: a flag on, a zone file given.
    return *entry.refinesWhen ? value == V(std::string(entry.refinesWhen)) : value != parent.record(ConversionOptions{});
}

std::string optionHelp(const OptionEntry& entry) {
    std::string help = entry.refines ? "with " + refinementNeeds(entry) + ", " + entry.meaning : std::string(entry.meaning);
    if (entry.targets != kForAll && !entry.refines) help += " (" + targetGamesText(entry.targets, {"gta3", "vc", "sa"}) + " only)";
    if (*entry.defaultText) help += std::string(" (default") + (entry.defaultText[0] == ':' ? "" : " ") + entry.defaultText + ")";
    return help;
}

} // namespace veldrin
