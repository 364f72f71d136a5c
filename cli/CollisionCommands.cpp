#include "cli/CollisionCommands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "app/options/MapOffset.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "cli/ConvertOptions.h"
#include "cli/OptionValues.h"
#include "collision/ColConv.h"

namespace veldrin::cli {

namespace {

const char* const kEditionHelp = "game: lcs or vcs (lcs-ps2, vcs-psp and the like name the same games; default lcs)";

// Status texts and the bar on standard error; "Done!" is kept for standard output.
ColCallbacks terminalCallbacks(TerminalProgress& progress) {
    ColCallbacks callbacks;
    callbacks.status = [&progress](const std::string& text) {
        if (text != kColDoneMessage) progress.status(text);
    };
    callbacks.progress = [&progress](int position, int maximum) { progress.progress(position, maximum); };
    callbacks.warning = [&progress](const std::string& text) { progress.warning(text); };
    return callbacks;
}

// What a finished collision command prints before "Done!".
struct CommandReport {
    std::string line;
    int warnings = 0;
};

// The message of a failed run: the error with its reason, led by the input's name unless it is there.
std::string failureText(const std::exception& e, const std::filesystem::path& input) {
    const std::string text = errorText(e);
    const std::string name = input.string();
    return text.rfind(name, 0) == 0 ? text : name + ": " + text;
}

// Progress on standard error and the exit status, shared by colmap and col2. `explain` words a failure.
template <typename Work, typename Explain>
int runCollisionWork(Verbosity verbosity, Work work, Explain explain) {
    TerminalProgress progress(stderr, verbosity);
    try {
        const CommandReport report = work(terminalCallbacks(progress));
        progress.finish();
        std::printf("%s\n", report.line.c_str());
        if (report.warnings > 0) std::printf("%d warning(s)\n", report.warnings);
        std::printf("%s\n", kColDoneMessage);
        return 0;
    } catch (const std::exception& e) {
        progress.finish();
        std::fprintf(stderr, "%s\n", explain(e).c_str());
        return 1;
    }
}

// A file refused under the edition given that reads under the other one was given the wrong edition.
std::string col2EditionHint(const std::filesystem::path& input, StoriesEdition edition) {
    const StoriesEdition other = edition == StoriesEdition::LCS ? StoriesEdition::VCS : StoriesEdition::LCS;
    try {
        if (!std::filesystem::is_regular_file(input) || !col2ReadsAs(readWholeFile(input), other)) return "";
    } catch (const std::exception&) {
        return "";
    }
    const std::string name = other == StoriesEdition::LCS ? "lcs" : "vcs";
    return "; the file reads as " + name + ": try --edition " + name;
}

} // namespace

CLI::App* addColmapCommand(CLI::App& root, ColmapCommand& c) {
    ColMapOptions& o = c.options;
    CLI::App* cmd = root.add_subcommand("colmap", "Convert the collision of a whole map (GAME.DTZ) into COL, IDE and IPL files");
    cmd->footer("Examples:\n"
                "  veldrin-cli colmap GAME.DTZ --img GAME.IMG --target vc\n"
                "      writes colmap/ColMap.col, ColMap.IDE and ColMap.IPL beside GAME.DTZ\n"
                "  veldrin-cli colmap GAME.DTZ --img GAME.IMG --edition vcs --blank-dff blank.dff -o out\n");
    cmd->add_option("dtz", c.paths.dtz, "the game data, GAME.DTZ as stored")->option_text("GAME.DTZ")->required();
    cmd->add_option("--img", c.paths.img, "the game's IMG archive")->option_text("GAME.IMG")->required();
    cmd->add_option("--blank-dff", c.paths.blankDff, "model copied for every object into COLMAP.IMG (default: no archive)")
        ->option_text("FILE");
    cmd->add_option_function<std::string>(
           "--edition", [&o](const std::string& v) { o.edition = storiesEditionFrom(v); }, kEditionHelp)
        ->option_text("GAME");
    cmd->add_option_function<std::string>(
           "--target", [&o](const std::string& v) { o.target = targetGameFrom(v); },
           "PC game to write for: gta3, vc or sa (default gta3)")
        ->option_text("GAME");
    cmd->add_flag_callback("--no-buildings", [&o] { o.buildings = false; }, "leave out the buildings");
    cmd->add_flag_callback("--no-dynamic", [&o] { o.dynamicObjects = false; }, "leave out the dynamic objects");
    cmd->add_flag_callback("--no-treadables", [&o] { o.treadables = false; }, "leave out the treadables (lcs only)");
    cmd->add_option_function<std::string>(
           "--id-offset", [&o](const std::string& v) { o.idOffset = integerIn("--id-offset", v, 0, 2147483647); },
           "first object ID, 0 or more (default 1000)")
        ->option_text("N");
    cmd->add_option_function<std::string>(
           "--map-offset",
           [&o](const std::string& v) { o.mapOffset = parseExactMapOffset(splitMapOffsetText(v), MapOffsetMessages::CollisionMap); },
           "added to every placement, \".\" for decimals (default 0,0,0)")
        ->option_text("X,Y,Z");
    cmd->add_option("-o,--out", c.paths.outputBase, "write the colmap folder into DIR (default: the folder of GAME.DTZ)")
        ->option_text("DIR");
    addVerbosityOptions(*cmd, c.verbosity);
    return cmd;
}

CLI::App* addCol2Command(CLI::App& root, Col2Command& c) {
    CLI::App* cmd = root.add_subcommand("col2", "Convert one COL2 collision file into a COL file");
    cmd->footer("Examples:\n"
                "  veldrin-cli col2 docks.col2\n"
                "      writes docks.col2.col beside it\n"
                "  veldrin-cli col2 docks.col2 --edition vcs -o docks.col\n");
    cmd->add_option("input", c.input, "the COL2 file")->option_text("FILE.col2")->required();
    cmd->add_option_function<std::string>(
           "--edition", [&c](const std::string& v) { c.edition = storiesEditionFrom(v); }, kEditionHelp)
        ->option_text("GAME");
    cmd->add_option("-o,--out", c.output, "the COL file to write (default: FILE.col2.col)")->option_text("FILE");
    addVerbosityOptions(*cmd, c.verbosity);
    return cmd;
}

int runColmapCommand(const ColmapCommand& cmd) {
    return runCollisionWork(
        cmd.verbosity,
        [&cmd](const ColCallbacks& cb) {
            requireInputFile(cmd.paths.dtz);
            requireInputFile(cmd.paths.img);
            const ColMapSummary s = runColMapConverter(cmd.paths, cmd.options, cb);
            return CommandReport{"Converted " + std::to_string(s.models) + " collision model(s) and " +
                                     std::to_string(s.instances) + " placement(s) into " + colMapOutputFolder(cmd.paths).string(),
                                 s.warnings};
        },
        [](const std::exception& e) { return errorText(e); });
}

int runCol2Command(Col2Command cmd) {
    if (cmd.output.empty()) cmd.output = col2OutputPath(cmd.input);
    return runCollisionWork(
        cmd.verbosity,
        [&cmd](const ColCallbacks& cb) {
            requireInputFile(cmd.input);
            const Col2Summary s = convertCol2File(cmd.input, cmd.output, cmd.edition, cb);
            return CommandReport{"Converted " + std::to_string(s.records) + " collision record(s) into " + cmd.output.string(),
                                 s.warnings};
        },
        [&cmd](const std::exception& e) { return failureText(e, cmd.input) + col2EditionHint(cmd.input, cmd.edition); });
}

} // namespace veldrin::cli
