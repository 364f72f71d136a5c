#include "cli/ConvertOptions.h"

#include <CLI/CLI.hpp>

#include "app/batch/BatchRun.h"
#include "app/options/MapOffset.h"
#include "base/TextUtil.h"
#include "cli/OptionValues.h"
#include "texture/MipMapRule.h"

namespace veldrin::cli {

namespace {

using Apply = std::function<void(const std::string&)>;

CLI::Option* valueOption(CLI::App& cmd, const std::string& names, const std::string& label, const std::string& help,
                         Apply apply) {
    return cmd.add_option_function<std::string>(names, std::move(apply), help)->option_text(label);
}

CLI::Option* flagOption(CLI::App& cmd, const std::string& names, const std::string& help, bool& field) {
    return cmd.add_flag(names, field, help)->disable_flag_override();
}

const char* const kConvertExamples =
    "Examples:\n"
    "  veldrin-cli convert INDUST.lvz --ide --target vc\n"
    "      writes indust/ beside INDUST.lvz: the models, one texture dictionary, indust.ide and indust.ipl\n"
    "  veldrin-cli convert BEACH.lvz --edition vcs-psp --target sa --txd group --img -o out\n"
    "  veldrin-cli convert LEVELS --ide --id-offset 2000 -o out\n"
    "      converts every .lvz in LEVELS into out/, each level's IDE ids following on from the last one's\n";

} // namespace

void addVerbosityOptions(CLI::App& cmd, Verbosity& verbosity) {
    cmd.add_flag_callback("-q,--quiet", [&verbosity] { verbosity = Verbosity::Quiet; },
                          "print only errors, the summary and the last line")
        ->group("Output");
    cmd.add_flag_callback("--verbose", [&verbosity] { verbosity = Verbosity::Verbose; },
                          "print a line for every model as well")
        ->group("Output");
}

// "auto" detects the edition from the level; any other spelling names it.
static void setEdition(ConversionOptions& o, const std::string& text) {
    o.editionAuto = toLower(text) == "auto";
    if (!o.editionAuto) o.gameVersion = gameVersionFrom(text);
}

// The map offset and the island filter, which shape the placements of a run and of a level's pictures.
static void addPlacementOptions(CLI::App& cmd, ConvertRequest& r, const std::string& mapOffsetMeaning,
                                const std::string& group) {
    ConversionOptions& o = r.settings.options;
    valueOption(cmd, "--map-offset", "X,Y,Z", mapOffsetMeaning,
                [&o](const std::string& v) {
                    const auto offset = parseMapOffset(splitMapOffset(v), MapOffsetMessages::Conversion);
                    for (std::size_t axis = 0; axis < 3; ++axis) o.mapOffset[axis] = static_cast<float>(offset[axis]);
                })
        ->group(group);
    valueOption(cmd, "--zon", "MAP.ZON", "keep only the placements inside the zones of one island",
                [&o](const std::string& v) {
                    o.zonPath = v;
                    o.useZon = true;
                })
        ->group(group);
    valueOption(cmd, "--island", "N", "with --zon, the island, 0 to 255 (default: the smallest island in the file)",
                [&r](const std::string& v) {
                    r.settings.options.zonIsland = integerIn("--island", v, 0, 255);
                    r.islandGiven = true;
                })
        ->group(group);
    flagOption(cmd, "--force-megalods",
               "with --zon, keep the MegaLOD placements outside the island too (the window ticks it with \"Use ZON\")",
               o.forceMegaLods)
        ->group(group);
}

CLI::App* addConvertCommand(CLI::App& root, ConvertRequest& r, int defaultJobs) {
    ConversionOptions& o = r.settings.options;
    o.jobs = defaultJobs;
    CLI::App* cmd = root.add_subcommand("convert", "Convert a level into PC files");
    cmd->footer(kConvertExamples);
    cmd->add_option("level", r.levels,
                    "the level's LVZ file (its IMG is the file of the same name beside it); several files, or a folder "
                    "for every .lvz in it, convert one after another with ids planned so that no two levels share one")
        ->option_text("LEVEL.lvz... | FOLDER")
        ->required();
    flagOption(*cmd, "--clean", "remove each level's old output folder (and its report with --report) first", r.settings.options.clean);

    valueOption(*cmd, "-o,--out", "DIR", "write the level's folder into DIR (default: the folder of the LVZ)",
                [&r](const std::string& v) { r.settings.outputFolder = v; });
    o.editionAuto = true;
    valueOption(*cmd, "--edition", "EDITION",
                "source edition: auto, lcs-ps2, vcs-ps2, lcs-psp or vcs-psp (default auto: detected from the level; "
                "a named edition that another reads clearly better is refused)",
                [&o](const std::string& v) { setEdition(o, v); });
    flagOption(*cmd, "--report", "write a report folder LevelName-report beside the level's folder (pictures, files, warnings)",
               o.writeReport)
        ->group("Output");
    valueOption(*cmd, "--target", "GAME", "PC game to write for: gta3, vc or sa (default gta3)",
                [&o](const std::string& v) { o.targetGame = targetGameFrom(v); });

    valueOption(*cmd, "--txd", "MODE",
                "texture dictionaries: none; one for all models; or group, one per --models-per-txd models (default one)",
                [&o](const std::string& v) {
                    o.txdMode = std::array{TxdMode::NoTxd, TxdMode::OneBigTxd,
                                           TxdMode::TxdPerGroup}[choiceFrom("TXD option", v, {"none", "one", "group"})];
                })
        ->group("Textures");
    valueOption(*cmd, "--models-per-txd", "N", "models per dictionary with --txd group, 1 or more (default 50)",
                [&o](const std::string& v) { o.modelsPerTxd = integerIn("--models-per-txd", v, 1, 2147483647); })
        ->group("Textures");
    valueOption(*cmd, "--texture-prefix", "TEXT", "prefix of every texture name (default: the level's name)",
                [&r](const std::string& v) { r.settings.texturePrefix = v; })
        ->group("Textures");
    flagOption(*cmd, "--mipmaps", "generate mip-maps (vc and sa only)", o.genMipMaps)->group("Textures");
    valueOption(*cmd, "--dxt-quality", "QUALITY",
                "block compression of vc and sa dictionaries: exact (the same bytes as ever) or high (endpoints fitted "
                "to each block, closer to the source, slower) (default exact)",
                [&o](const std::string& v) {
                    o.dxtQuality = std::array{DxtQuality::Exact, DxtQuality::High}[choiceFrom("DXT quality", v, {"exact", "high"})];
                })
        ->group("Textures");
    valueOption(*cmd, "--mipmap-threshold", "SIZE",
                "with --mipmaps, only textures wider than SIZE get them: all, 16, 32, 64 or 128 (default all)",
                [&o](const std::string& v) {
                    o.mipSizeThreshold = mipSizeThresholdOfChoice(choiceFrom("mip-map threshold", v, {"all", "16", "32", "64", "128"}));
                })
        ->group("Textures");

    valueOption(*cmd, "--model-prefix", "TEXT",
                "prefix of the models' names (default: the level's name); distant models are named LOD and the "
                "prefix from its fourth character on",
                [&r](const std::string& v) { r.settings.modelPrefix = v; })
        ->group("Models");
    flagOption(*cmd, "--optimise-mesh", "weld shared vertices (recommended)", o.optimiseMesh)->group("Models");
    flagOption(*cmd, "--night-prelight", "write night vertex colours (sa only)", o.genNightPrelit)->group("Models");
    valueOption(*cmd, "--day-min", "N", "with --night-prelight, lowest lightness by day, 0 to 255 (default 64)",
                [&o](const std::string& v) { o.prelightDayMinimum = integerIn("--day-min", v, 0, 255); })
        ->group("Models");
    valueOption(*cmd, "--night-min", "N", "with --night-prelight, lowest lightness at night, 0 to 255 (default 16)",
                [&o](const std::string& v) { o.prelightNightMinimum = integerIn("--night-min", v, 0, 255); })
        ->group("Models");
    flagOption(*cmd, "--blank-col", "write a blank collision file for the models", o.genBlankCol)->group("Models");
    flagOption(*cmd, "--img", "pack the models and dictionaries into an IMG archive", o.buildImg)->group("Models");

    flagOption(*cmd, "--ide", "write the IDE and IPL files", o.generateIde)->group("Placements");
    valueOption(*cmd, "--id-offset", "N", "with --ide, the first object ID, 0 or more (default 1000)",
                [&o](const std::string& v) { o.idOffset = integerIn("--id-offset", v, 0, 2147483647); })
        ->group("Placements");
    addPlacementOptions(*cmd, r, "with --ide, added to every placement, \".\" for decimals (default 0,0,0)", "Placements");

    valueOption(*cmd, "-j,--jobs", "N", "worker threads, 1 to 256 (default: one per core); the output is the same for any",
                [&o](const std::string& v) { o.jobs = integerIn("--jobs", v, 1, 256); })
        ->group("Output");
    addVerbosityOptions(*cmd, r.verbosity);
    return cmd;
}

CLI::App* addInfoCommand(CLI::App& root, ConvertRequest& r) {
    CLI::App* cmd = root.add_subcommand("info", "Show what a level holds without converting it; --report draws it");
    cmd->footer("Examples:\n"
                "  veldrin-cli info INDUST.lvz --edition lcs-ps2\n"
                "  veldrin-cli info INDUST.lvz --report pictures --zon MAP.ZON --island 1\n"
                "      writes pictures/index.html: the textures, the models and the map of island 1\n");
    cmd->add_option("level", r.levels, "the level's LVZ file; its IMG is the file of the same name beside it")
        ->option_text("LEVEL.lvz")
        ->required();
    ConversionOptions& o = r.settings.options;
    o.editionAuto = true;
    valueOption(*cmd, "--edition", "EDITION",
                "source edition: auto, lcs-ps2, vcs-ps2, lcs-psp or vcs-psp (default auto: detected from the level)",
                [&o](const std::string& v) { setEdition(o, v); });
    valueOption(*cmd, "--report", "DIR",
                "write the level's pictures into DIR before converting: its textures, a thumbnail of each model a "
                "convert would write and the map of its placements, with the island filter and map offset given",
                [&r](const std::string& v) { r.infoReport = v; })
        ->group("Report");
    addPlacementOptions(*cmd, r, "with --report, added to every placement on the map, \".\" for decimals (default 0,0,0)",
                        "Report");
    valueOption(*cmd, "-j,--jobs", "N", "with --report, threads drawing the pictures, 1 to 256 (default: one per core)",
                [&o](const std::string& v) { o.jobs = integerIn("--jobs", v, 1, 256); })
        ->group("Report");
    return cmd;
}

void checkConvertRequest(const ConvertRequest& r, const std::string& command) {
    if ((r.islandGiven || r.settings.options.forceMegaLods) && !r.settings.options.useZon) {
        throw UsageError("--island and --force-megalods need --zon", command);
    }
    if (command == "info" && r.levels.size() > 1) {
        throw UsageError{"more than one level given (\"" + r.levels[0] + "\" and \"" + r.levels[1] + "\")", command};
    }
}

ConversionOptions optionsForLevel(const ConvertRequest& r, const std::string& level) {
    return levelOptions(level, r.settings);
}

} // namespace veldrin::cli
