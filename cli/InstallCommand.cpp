#include "cli/InstallCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "app/install/InstallRun.h"
#include "app/install/InstallText.h"
#include "base/Error.h"
#include "cli/Interrupt.h"
#include "cli/OptionValues.h"
#include "cli/RunWatcher.h"
#include "cli/UninstallCommand.h"
#include "cli/WarningCounts.h"

namespace veldrin::cli {

namespace {

// The conversion options that make sense for an install: the target comes from the game, the index
// files, the collision, the archive and the names are the install's own.
constexpr OptionId kInstallOptions[] = {
    OptionId::Edition,   OptionId::Txd,      OptionId::ModelsPerTxd, OptionId::Mipmaps,       OptionId::MipmapThreshold,
    OptionId::DxtQuality, OptionId::OptimiseMesh, OptionId::NightPrelight, OptionId::DayMin,   OptionId::NightMin,
    OptionId::IdOffset,  OptionId::MapOffset, OptionId::Zon,          OptionId::Island,        OptionId::ForceMegalods,
    OptionId::Jobs,      OptionId::Target,
};

const char* const kInstallExamples =
    "Examples:\n"
    "  veldrin-cli install \"C:\\Games\\Vice City\" LCS_FILES\n"
    "      converts every level of LCS_FILES (and its GAME.DTZ with GAME.IMG: the collision map) and adds it\n"
    "      to the game: files in the game's veldrin folder, one marked block in its data file\n"
    "  veldrin-cli install GAME INDUST.lvz COMMER.lvz --mipmaps --dxt-quality high\n"
    "  veldrin-cli install --check GAME\n"
    "      tells what is installed and whether every file is still as written\n"
    "  veldrin-cli uninstall GAME\n"
    "      removes it again\n";

} // namespace

CLI::App* addInstallCommand(CLI::App& root, InstallCommand& c, int defaultJobs) {
    ConversionOptions& o = c.convert.settings.options;
    o.jobs = defaultJobs;
    o.editionAuto = true;
    CLI::App* cmd = root.add_subcommand("install", "Convert levels and the collision map into a PC game's folder");
    cmd->footer(kInstallExamples);
    cmd->add_option("GAME_DIR", c.gameDir, "the game's folder: the one holding its data folder (data/gta3.dat, "
                                       "data/gta_vc.dat or data/gta.dat, and data/default.dat); it sets the target")
        ->option_text("FOLDER")
        ->required();
    cmd->add_option("source", c.sources,
                    "LVZ files (each with its IMG beside it), or a folder of a Stories game's files: its levels, and "
                    "GAME.DTZ with GAME.IMG beside it for the collision map")
        ->option_text("SOURCE...");
    for (OptionId id : kInstallOptions) {
        if (id == OptionId::IdOffset) {
            tableOption(*cmd, c.convert, id, "the first IDE id; every id installed must be free in the game (default: "
                                             "the first free ranges, chosen for each level)");
        } else if (id == OptionId::MapOffset) {
            tableOption(*cmd, c.convert, id, "added to every placement of the levels and the collision map, \".\" for "
                                             "decimals (default 0,0,0)");
        } else if (id == OptionId::Target) {
            tableOption(*cmd, c.convert, id, "the game's target, checked: the game folder sets it, and a --target that "
                                             "disagrees is refused");
        } else {
            tableOption(*cmd, c.convert, id);
        }
    }
    cmd->add_option_function<std::string>(
           "--colmap-game", [&c](const std::string& v) { c.colMapGame = storiesEditionFrom(v); },
           "the collision map's game: lcs or vcs (default: the one it reads as)")
        ->option_text("GAME");
    cmd->add_flag("--allow-over-limits", c.allowOverLimits,
                  "install a plan over the game's limits (for a game with a limit adjuster); the limits are still shown");
    cmd->add_flag("--check", c.check, "tell what is installed in GAME_DIR and whether every file is as written; installs nothing");
    addVerbosityOptions(*cmd, c.convert.verbosity);
    return cmd;
}

InstallRequest installRequest(const InstallCommand& c) {
    InstallRequest r;
    r.gameDir = c.gameDir;
    r.sources.assign(c.sources.begin(), c.sources.end());
    r.options = c.convert.settings.options;
    if (c.convert.given.count(OptionId::Target)) r.target = r.options.targetGame;
    if (c.convert.given.count(OptionId::IdOffset)) r.idOffset = r.options.idOffset;
    r.colMapGame = c.colMapGame;
    r.allowOverLimits = c.allowOverLimits;
    // The refinement rules as a conversion with everything an install writes.
    ConvertRequest check = c.convert;
    check.settings.options.generateIde = check.settings.options.genBlankCol = check.settings.options.buildImg = true;
    checkConvertRequest(check, "install");
    if (c.check && !c.sources.empty()) throw UsageError{"--check takes the game folder alone, no sources", "install"};
    if (!c.check && c.sources.empty()) throw UsageError{"name what to install after the game folder: LVZ files or a folder", "install"};
    return r;
}

int runInstallCommand(const InstallCommand& c) {
    if (c.check) return runInstallCheck(c.gameDir);
    const bool quiet = c.convert.verbosity == Verbosity::Quiet;
    InstallPlan plan;
    try {
        plan = planInstall(installRequest(c));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n%s\n", errorText(e).c_str(), installText::leftAsItWas(c.gameDir).c_str());
        return 1;
    }
    std::printf("%s", installText::planText(plan).c_str());
    std::fflush(stdout);
    if (const std::vector<std::string> why = plan.refusals(); !why.empty()) {
        std::fprintf(stderr, "Not installed:\n");
        for (const std::string& w : why) std::fprintf(stderr, "  %s\n", w.c_str());
        std::fprintf(stderr, "%s\n", installText::leftAsItWas(plan.game.root).c_str());
        return 1;
    }

    RunWatcher watcher(c.convert.verbosity);
    InterruptGuard interrupt;
    InstallCallbacks callbacks;
    callbacks.run = watcher.callbacks();
    callbacks.run.edition = nullptr; // the plan has shown each level's edition
    callbacks.step = [&](const std::string& text) {
        watcher.progress.finish();
        if (!quiet) std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    };
    try {
        const InstallResult result = runInstall(plan, callbacks);
        watcher.progress.finish();
        std::printf("Added to %s:\n", plan.game.gameDataFile.filename().string().c_str());
        for (const install::DataLine& line : result.lines)
            std::printf("  %s\n", install::dataLineText(plan.game.target, line).c_str());
    } catch (const std::exception& e) {
        watcher.progress.finish();
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return InterruptGuard::requested() ? kInterruptedExitCode : 1;
    }
    for (const std::string& line : warningCountLines(watcher.warnings)) std::printf("  %s\n", line.c_str());
    std::printf("Installed. Undo with: veldrin-cli uninstall \"%s\"\n", plan.game.root.string().c_str());
    std::printf("%s\n", kAllDoneMessage);
    return 0;
}

} // namespace veldrin::cli
