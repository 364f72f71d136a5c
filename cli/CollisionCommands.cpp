#include "cli/CollisionCommands.h"

#include <cstdio>
#include <exception>
#include <limits>
#include <optional>

#include "app/MapOffset.h"
#include "base/TextUtil.h"
#include "cli/CliOptions.h"
#include "cli/Progress.h"
#include "collision/ColConv.h"

namespace veldrin::cli {

const char* const kColmapUsage =
    "usage:\n"
    "  veldrin-cli colmap GAME.DTZ --img GAME.IMG [--blank-dff FILE] [--edition lcs|vcs]\n"
    "      [--target gta3|vc|sa] [--no-buildings] [--no-dynamic] [--no-treadables]\n"
    "      [--id-offset N] [--map-offset=X,Y,Z] [--out DIR]\n";

const char* const kCol2Usage =
    "usage:\n"
    "  veldrin-cli col2 FILE.col2 [--edition lcs|vcs] [--out FILE]\n";

namespace {

// One "--name value" or "--name=value" option at a time; anything else is the one input file.
class Arguments {
public:
    explicit Arguments(const std::vector<std::string>& args) : args_(args) {}

    bool next() {
        if (i_ >= args_.size()) return false;
        const std::string& arg = args_[i_++];
        inline_.reset();
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            name_.clear();
            positional_ = arg;
            return true;
        }
        const std::size_t eq = arg.find('=');
        name_ = arg.substr(0, eq);
        if (eq != std::string::npos) inline_ = arg.substr(eq + 1);
        return true;
    }
    bool isOption() const { return !name_.empty(); }
    const std::string& name() const { return name_; }
    const std::string& positional() const { return positional_; }
    std::string value() {
        if (inline_) return *inline_;
        if (i_ >= args_.size()) throw UsageError{name_ + " needs a value"};
        return args_[i_++];
    }
    void noValue() const {
        if (inline_) throw UsageError{name_ + " takes no value"};
    }

private:
    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
    std::string name_;
    std::string positional_;
    std::optional<std::string> inline_;
};

StoriesEdition editionFrom(const std::string& text) {
    const auto e = parseStoriesEdition(text);
    if (!e) throw UsageError{"unknown edition \"" + text + "\" (lcs or vcs)"};
    return *e;
}

void takeInput(std::filesystem::path& input, const std::string& arg) {
    if (!input.empty()) throw UsageError{"more than one input given (\"" + input.string() + "\" and \"" + arg + "\")"};
    input = arg;
}

// X, Y and the rest, split at the commas; a missing part stays empty and is refused, with its axis,
// when the run parses the offsets.
std::array<std::string, 3> splitMapOffset(const std::string& text) {
    std::array<std::string, 3> parts;
    std::size_t start = 0;
    for (int axis = 0; axis < 2; ++axis) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            parts[axis] = text.substr(start);
            return parts;
        }
        parts[axis] = text.substr(start, comma - start);
        start = comma + 1;
    }
    parts[2] = text.substr(start);
    return parts;
}

bool isHelp(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "--help" || args[0] == "-h");
}

int usageFailure(const UsageError& e, const char* usage) {
    std::fprintf(stderr, "veldrin-cli: %s\n%s", e.message.c_str(), usage);
    return 2;
}

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

} // namespace

ColmapCommand parseColmapArguments(const std::vector<std::string>& args) {
    ColmapCommand cmd;
    if (isHelp(args)) {
        cmd.help = true;
        return cmd;
    }
    ColMapOptions& o = cmd.options;
    Arguments a(args);
    while (a.next()) {
        if (!a.isOption()) {
            takeInput(cmd.paths.dtz, a.positional());
            continue;
        }
        const std::string& name = a.name();
        if (name == "--img") cmd.paths.img = a.value();
        else if (name == "--blank-dff") cmd.paths.blankDff = a.value();
        else if (name == "--edition") o.edition = editionFrom(a.value());
        else if (name == "--target") {
            const std::string v = a.value();
            const auto t = parseTargetGame(v);
            if (!t) throw UsageError{"unknown target \"" + v + "\" (gta3, vc or sa)"};
            o.target = *t;
        } else if (name == "--no-buildings") {
            a.noValue();
            o.buildings = false;
        } else if (name == "--no-dynamic") {
            a.noValue();
            o.dynamicObjects = false;
        } else if (name == "--no-treadables") {
            a.noValue();
            o.treadables = false;
        } else if (name == "--id-offset") {
            const std::string v = a.value();
            const auto n = parseInteger(v);
            if (!n || *n < 0 || *n > std::numeric_limits<int32_t>::max())
                throw UsageError{"--id-offset takes a whole number from 0 to 2147483647, not \"" + v + "\""};
            o.idOffset = static_cast<int32_t>(*n);
        } else if (name == "--map-offset") o.mapOffset = parseMapOffset(splitMapOffset(a.value()), MapOffsetMessages::CollisionMap);
        else if (name == "--out") cmd.paths.outputBase = a.value();
        else throw UsageError{"unknown option " + name};
    }
    if (cmd.paths.dtz.empty()) throw UsageError{"no GAME.DTZ given"};
    if (cmd.paths.img.empty()) throw UsageError{"no IMG given (--img)"};
    return cmd;
}

Col2Command parseCol2Arguments(const std::vector<std::string>& args) {
    Col2Command cmd;
    if (isHelp(args)) {
        cmd.help = true;
        return cmd;
    }
    Arguments a(args);
    while (a.next()) {
        if (!a.isOption()) {
            takeInput(cmd.input, a.positional());
            continue;
        }
        const std::string& name = a.name();
        if (name == "--edition") cmd.edition = editionFrom(a.value());
        else if (name == "--out") cmd.output = a.value();
        else throw UsageError{"unknown option " + name};
    }
    if (cmd.input.empty()) throw UsageError{"no COL2 file given"};
    if (cmd.output.empty()) cmd.output = col2OutputPath(cmd.input);
    return cmd;
}

namespace {

// What a finished collision command prints before "Done!".
struct CommandReport {
    std::string line;
    int warnings = 0;
};

// Parsing, help, progress on standard error and the exit status, shared by colmap and col2.
template <typename Parse, typename Work>
int runCollisionCommand(const std::vector<std::string>& args, const char* usage, Parse parse, Work work) {
    decltype(parse(args)) cmd;
    try {
        cmd = parse(args);
    } catch (const UsageError& e) {
        return usageFailure(e, usage);
    } catch (const std::exception& e) { // a value refused as the window refuses it (the map offset)
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (cmd.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    TerminalProgress progress(stderr);
    try {
        const CommandReport report = work(cmd, terminalCallbacks(progress));
        progress.finish();
        std::printf("%s\n", report.line.c_str());
        if (report.warnings > 0) std::printf("%d warning(s)\n", report.warnings);
        std::printf("%s\n", kColDoneMessage);
        return 0;
    } catch (const std::exception& e) {
        progress.finish();
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace

int runColmapCommand(const std::vector<std::string>& args) {
    return runCollisionCommand(args, kColmapUsage, parseColmapArguments, [](const ColmapCommand& cmd, const ColCallbacks& cb) {
        const ColMapSummary s = runColMapConverter(cmd.paths, cmd.options, cb);
        return CommandReport{"Converted " + std::to_string(s.models) + " collision model(s) and " +
                                 std::to_string(s.instances) + " placement(s) into " +
                                 colMapOutputFolder(cmd.paths).string(),
                             s.warnings};
    });
}

int runCol2Command(const std::vector<std::string>& args) {
    return runCollisionCommand(args, kCol2Usage, parseCol2Arguments, [](const Col2Command& cmd, const ColCallbacks& cb) {
        const Col2Summary s = convertCol2File(cmd.input, cmd.output, cmd.edition, cb);
        return CommandReport{"Converted " + std::to_string(s.records) + " collision record(s) into " + cmd.output.string(),
                             s.warnings};
    });
}

} // namespace veldrin::cli
