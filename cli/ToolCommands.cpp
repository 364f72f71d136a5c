#include "cli/ToolCommands.h"

#include <cstdio>
#include <exception>
#include <optional>

#include "base/TextUtil.h"
#include "cli/CliOptions.h"
#include "tools/PlacementDumpFile.h"
#include "tools/VcPatchFile.h"

namespace veldrin::cli {

const char* const kToolUsage =
    "usage:\n"
    "  veldrin-cli patch-vc gta-vc.exe\n"
    "  veldrin-cli dump FILE [--id-offset N] [--level-name NAME] [--out DIR]\n";

namespace {

int usageFailure(const std::string& message) {
    std::fprintf(stderr, "veldrin-cli: %s\n%s", message.c_str(), kToolUsage);
    return 2;
}

int32_t idOffsetFrom(const std::string& text) {
    const auto v = parseInteger(text);
    if (!v || *v < 0 || *v > 2147483647) {
        throw UsageError{"--id-offset takes a whole number from 0 to 2147483647, not \"" + text + "\""};
    }
    return static_cast<int32_t>(*v);
}

} // namespace

DumpCommand parseDumpArguments(const std::vector<std::string>& args) {
    DumpCommand cmd;
    std::optional<std::string> input;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            if (input) throw UsageError{"more than one file given (\"" + *input + "\" and \"" + arg + "\")"};
            input = arg;
            continue;
        }
        // Options take their value as "--name=value" or as the next argument.
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (name != "--id-offset" && name != "--level-name" && name != "--out") throw UsageError{"unknown option " + name};
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else {
            if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
            value = args[++i];
        }
        if (name == "--id-offset") cmd.options.idOffset = idOffsetFrom(value);
        else if (name == "--level-name") cmd.options.levelName = value;
        else cmd.outFolder = value;
    }
    if (!input) throw UsageError{"no file given"};
    cmd.input = *input;
    return cmd;
}

int runPatchVcCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) return usageFailure(args.empty() ? "no executable given" : "patch-vc takes one executable");
    try {
        const VcPatchOutcome outcome = patchVcExecutableFile(args[0]);
        std::fprintf(outcome.failed() ? stderr : stdout, "%s\n", outcome.message.c_str());
        return outcome.failed() ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

int runDumpCommand(const std::vector<std::string>& args) {
    DumpCommand cmd;
    try {
        cmd = parseDumpArguments(args);
    } catch (const UsageError& e) {
        return usageFailure(e.message);
    }
    try {
        const PlacementDumpFiles files = writePlacementDump(cmd.input, cmd.options, cmd.outFolder);
        std::printf("Wrote %d placement(s) of %d model(s) to %s and %s\n", files.instances, files.models,
                    files.ide.string().c_str(), files.ipl.string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace veldrin::cli
