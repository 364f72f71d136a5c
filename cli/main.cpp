#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/Error.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CollisionCommands.h"
#include "cli/ToolCommands.h"

int main(int argc, char** argv) {
    using namespace veldrin::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "patch-vc") return runPatchVcCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "dump") return runDumpCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "colmap") return runColmapCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "col2") return runCol2Command({args.begin() + 1, args.end()});
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    try {
        const CliCommand cmd = parseCommandLine(args, cores);
        switch (cmd.kind) {
        case CommandKind::Help:
            std::fputs(kUsage, stdout);
            for (const char* more : {kColmapUsage, kCol2Usage, kToolUsage}) std::fputs(std::strchr(more, '\n') + 1, stdout);
            return 0;
        case CommandKind::Convert: return runConvertCommand(cmd.options);
        case CommandKind::Info: return runInfoCommand(cmd.options);
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "veldrin-cli: %s\n%s", e.message.c_str(), kUsage);
        return 2;
    } catch (const veldrin::VeldrinError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 2;
}
