#include "cli/ConvertOptions.h"

#include <CLI/CLI.hpp>

#include "app/batch/BatchRun.h"
#include "app/options/OptionTable.h"
#include "base/Error.h"
#include "base/TextUtil.h"
#include "cli/OptionValues.h"

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

// A level's pick derives the output folder and the prefixes; given, they are kept over the pick's.
static void keepOverPick(BatchSettings& s, OptionId id) {
    if (id == OptionId::Out) s.outputFolder = s.options.outputFolder;
    if (id == OptionId::ModelPrefix) s.modelPrefix = s.options.modelPrefix;
    if (id == OptionId::TexturePrefix) s.texturePrefix = s.options.texturePrefix;
}

// One option of the table on a command: the value's refusal becomes a usage error naming it, and the
// request remembers which options were given, for the rule on options that refine another.
CLI::Option* tableOption(CLI::App& cmd, ConvertRequest& r, OptionId id, const std::string& help) {
    const OptionEntry& entry = optionEntry(id);
    const std::string names = (*entry.shortName ? "-" + std::string(entry.shortName) + "," : std::string()) + "--" + entry.name;
    const std::string text = help.empty() ? optionHelp(entry) : help;
    CLI::Option* option = nullptr;
    if (entry.flag) {
        option = flagOption(cmd, names, text, r.settings.options.*entry.flag);
    } else {
        option = valueOption(cmd, names, entry.valueLabel, text, [&r, &entry](const std::string& v) {
            try {
                entry.set(r.settings.options, v);
            } catch (const VeldrinError& e) {
                throw UsageError{e.what()};
            }
            r.given.insert(entry.id);
            keepOverPick(r.settings, entry.id);
        });
    }
    return *entry.section ? option->group(entry.section) : option;
}

CLI::App* addConvertCommand(CLI::App& root, ConvertRequest& r, int defaultJobs) {
    ConversionOptions& o = r.settings.options;
    o.jobs = defaultJobs;
    o.editionAuto = true;
    CLI::App* cmd = root.add_subcommand("convert", "Convert a level into PC files");
    cmd->footer(kConvertExamples);
    cmd->add_option("level", r.levels,
                    "the level's LVZ file (its IMG is the file of the same name beside it); several files, or a folder "
                    "for every .lvz in it, convert one after another with ids planned so that no two levels share one")
        ->option_text("LEVEL.lvz... | FOLDER")
        ->required();
    for (const OptionEntry& entry : optionTable()) tableOption(*cmd, r, entry.id);
    addVerbosityOptions(*cmd, r.verbosity);
    return cmd;
}

CLI::App* addInfoCommand(CLI::App& root, ConvertRequest& r) {
    CLI::App* cmd = root.add_subcommand("info", "Show what a level holds without converting it; --report draws it");
    cmd->footer("Examples:\n"
                "  veldrin-cli info INDUST.lvz --edition lcs-ps2\n"
                "  veldrin-cli info INDUST.lvz --report pictures --zon MAP.ZON --island 1\n"
                "      writes pictures/index.html: the textures, the models and the map of island 1\n");
    // One level, so the usage line says "level", not "level...".
    cmd->add_option_function<std::string>(
           "level", [&r](const std::string& v) { r.levels = {v}; },
           "the level's LVZ file; its IMG is the file of the same name beside it")
        ->option_text("LEVEL.lvz")
        ->required();
    r.settings.options.editionAuto = true;
    tableOption(*cmd, r, OptionId::Edition,
                "source edition: auto, lcs-ps2, vcs-ps2, lcs-psp or vcs-psp (default auto: detected from the level)");
    valueOption(*cmd, "--report", "DIR",
                "write the level's pictures into DIR before converting: its textures, a thumbnail of each model a "
                "convert would write and the map of its placements, with the island filter and map offset given",
                [&r](const std::string& v) { r.infoReport = v; })
        ->group("Report");
    tableOption(*cmd, r, OptionId::MapOffset,
                "with --report, added to every placement on the map, \".\" for decimals (default 0,0,0)")
        ->group("Report");
    for (OptionId id : {OptionId::Zon, OptionId::Island, OptionId::ForceMegalods}) tableOption(*cmd, r, id)->group("Report");
    tableOption(*cmd, r, OptionId::Jobs, "with --report, threads drawing the pictures, 1 to 256 (default: one per core)")
        ->group("Report");
    return cmd;
}

void checkConvertRequest(const ConvertRequest& r, const std::string& command) {
    // An option that only refines another does nothing without it: refused, as a typing slip would be.
    // info draws its map with the offset whether or not a convert would write an IPL.
    const ConversionOptions& o = r.settings.options;
    for (const OptionEntry& entry : optionTable()) {
        const bool given = entry.flag ? o.*entry.flag : r.given.count(entry.id) > 0;
        if (!given || refinedOptionActs(entry, o)) continue;
        if (command == "info" && entry.refines == OptionId::Ide) continue;
        throw UsageError{"--" + std::string(entry.name) + " needs " + refinementNeeds(entry) + ": without it, it does nothing",
                         command};
    }
}

ConversionOptions optionsForLevel(const ConvertRequest& r, const std::string& level) {
    return levelOptions(level, r.settings);
}

} // namespace veldrin::cli
