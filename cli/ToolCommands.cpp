#include "cli/ToolCommands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "base/Error.h"
#include "base/FileIO.h"
#include "cli/OptionValues.h"
#include "tools/PlacementDumpFile.h"
#include "tools/VcPatchFile.h"

namespace veldrin::cli {

CLI::App* addPatchVcCommand(CLI::App& root, PatchVcCommand& c) {
    CLI::App* cmd = root.add_subcommand("patch-vc", "Switch off backface culling in the PC executable of GTA VC (1.0 or 1.1)");
    cmd->footer("Examples:\n"
                "  veldrin-cli patch-vc gta-vc.exe --dry-run\n"
                "  veldrin-cli patch-vc gta-vc.exe\n"
                "      keeps the original as gta-vc.exe.bak (an existing backup is never replaced)\n");
    cmd->add_option("exe", c.exe, "the executable, patched in place")->option_text("gta-vc.exe")->required();
    cmd->add_flag("--dry-run", c.dryRun, "say what would be done, and write nothing")->disable_flag_override();
    return cmd;
}

CLI::App* addDumpCommand(CLI::App& root, DumpCommand& c) {
    CLI::App* cmd = root.add_subcommand("dump", "Write the placements of the game data as lcs.ide and lcs.ipl (a developer aid)");
    cmd->footer("Example:\n  veldrin-cli dump GAME.DTZ --level-name indust -o dump\n");
    cmd->add_option("input", c.input, "the game data: GAME.DTZ as stored, or already inflated")
        ->option_text("GAME.DTZ")
        ->required();
    cmd->add_option_function<std::string>(
           "--id-offset", [&c](const std::string& v) { c.options.idOffset = integerIn("--id-offset", v, 0, 2147483647); },
           "ID of model 0, 0 or more (default 1000)")
        ->option_text("N");
    cmd->add_option("--level-name", c.options.levelName, "level named in the files' head lines (default none)")
        ->option_text("NAME");
    cmd->add_option("-o,--out", c.outFolder, "folder to write into (default: the current folder)")->option_text("DIR");
    return cmd;
}

int runPatchVcCommand(const PatchVcCommand& cmd) {
    try {
        requireInputFile(cmd.exe);
        if (cmd.dryRun) {
            const VcExeState state = detectVcExeState(readWholeFile(cmd.exe));
            if (state == VcExeState::Invalid) {
                std::fprintf(stderr, "%s: %s (%s)\n", cmd.exe.string().c_str(), std::string(vcPatchMessage(state)).c_str(),
                             std::string(kVcSupportedReleases).c_str());
                return 1;
            }
            if (isUnpatched(state)) {
                std::printf("Would patch %s (%s) and keep the original as %s.bak\n", cmd.exe.string().c_str(),
                            state == VcExeState::V10Unpatched ? "V1.0" : "V1.1", cmd.exe.string().c_str());
            } else {
                std::printf("%s: %s Nothing to do.\n", cmd.exe.string().c_str(), std::string(vcPatchMessage(state)).c_str());
            }
            return 0;
        }
        const VcPatchOutcome outcome = patchVcExecutableFile(cmd.exe);
        if (outcome.failed()) {
            std::fprintf(stderr, "%s: %s (%s)\n", cmd.exe.string().c_str(), outcome.message.c_str(),
                         std::string(kVcSupportedReleases).c_str());
            return 1;
        }
        std::printf("%s\n", outcome.message.c_str());
        if (outcome.backupWritten) std::printf("Original kept as %s\n", outcome.backupPath.string().c_str());
        else if (outcome.written) std::printf("Original already kept as %s\n", outcome.backupPath.string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

int runDumpCommand(const DumpCommand& cmd) {
    try {
        requireInputFile(cmd.input);
        const PlacementDumpFiles files = writePlacementDump(cmd.input, cmd.options, cmd.outFolder);
        std::printf("Wrote %d placement(s) of %d model(s) to %s and %s\n", files.instances, files.models,
                    files.ide.string().c_str(), files.ipl.string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

} // namespace veldrin::cli
