#include "cli/CliOptions.h"

#include <optional>

#include "app/MapOffset.h"
#include "texture/MipMapRule.h"
#include "base/TextUtil.h"

namespace veldrin::cli {

const char* const kUsage =
    "usage:\n"
    "  veldrin-cli convert LEVEL.lvz [--out DIR] [--edition lcs-ps2|vcs-ps2|lcs-psp|vcs-psp]\n"
    "      [--target gta3|vc|sa] [--txd none|one|group] [--models-per-txd N] [--ide] [--id-offset N]\n"
    "      [--map-offset=X,Y,Z] [--model-prefix=TEXT] [--texture-prefix=TEXT] [--blank-col]\n"
    "      [--mipmaps] [--mipmap-threshold all|16|32|64|128] [--night-prelight] [--day-min N]\n"
    "      [--night-min N] [--optimise-mesh] [--img] [--zon MAP.ZON [--island N] [--force-megalods]]\n"
    "      [--jobs N]\n"
    "  veldrin-cli info LEVEL.lvz [--edition lcs-ps2|vcs-ps2|lcs-psp|vcs-psp]\n";

namespace {

// Walks the arguments; options take their value as "--name=value" or as the next argument.
class ArgumentCursor {
public:
    explicit ArgumentCursor(const std::vector<std::string>& args) : args_(args) {}
    bool done() const { return i_ >= args_.size(); }
    const std::string& next() { return args_[i_++]; }
    std::string value(const std::string& name, const std::optional<std::string>& inlineValue) {
        if (inlineValue) return *inlineValue;
        if (done()) throw UsageError{name + " needs a value"};
        return next();
    }

private:
    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
};

int integerIn(const std::string& name, const std::string& text, long long low, long long high) {
    const auto v = parseInteger(text);
    if (!v || *v < low || *v > high) {
        throw UsageError{name + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not \"" + text + "\""};
    }
    return static_cast<int>(*v);
}

GameVersion editionFrom(const std::string& text) {
    const auto e = parseGameVersion(text);
    if (!e) throw UsageError{"unknown edition \"" + text + "\" (lcs-ps2, vcs-ps2, lcs-psp or vcs-psp)"};
    return *e;
}

// Three texts split at the commas; anything but three parts keeps the whole text in X so that it is
// refused with the "Invalid Map XYZ offset" message before anything is read.
std::array<std::string, 3> mapOffsetTexts(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (parts.size() != 3) return {text, "", ""};
    return {parts[0], parts[1], parts[2]};
}

void parseConvertOption(ConversionOptions& o, ArgumentCursor& cur, const std::string& name,
                        const std::optional<std::string>& inl, bool& islandGiven, bool& megaGiven) {
    auto value = [&] { return cur.value(name, inl); };
    auto flag = [&](bool& field) {
        if (inl) throw UsageError{name + " takes no value"};
        field = true;
    };
    if (name == "--out") o.outputFolder = value();
    else if (name == "--edition") o.gameVersion = editionFrom(value());
    else if (name == "--target") {
        const std::string v = value();
        const auto t = parseTargetGame(v);
        if (!t) throw UsageError{"unknown target \"" + v + "\" (gta3, vc or sa)"};
        o.targetGame = *t;
    } else if (name == "--txd") {
        const std::string v = value();
        if (v == "none") o.txdMode = TxdMode::NoTxd;
        else if (v == "one") o.txdMode = TxdMode::OneBigTxd;
        else if (v == "group") o.txdMode = TxdMode::TxdPerGroup;
        else throw UsageError{"unknown TXD option \"" + v + "\" (none, one or group)"};
    } else if (name == "--models-per-txd") o.modelsPerTxd = integerIn(name, value(), 1, 2147483647);
    else if (name == "--ide") flag(o.generateIde);
    else if (name == "--id-offset") o.idOffset = integerIn(name, value(), 0, 2147483647);
    else if (name == "--map-offset") {
        const auto offset = parseMapOffset(mapOffsetTexts(value()), MapOffsetMessages::Conversion);
        for (std::size_t axis = 0; axis < 3; ++axis) o.mapOffset[axis] = static_cast<float>(offset[axis]);
    }
    else if (name == "--model-prefix") o.modelPrefix = value();
    else if (name == "--texture-prefix") o.texturePrefix = value();
    else if (name == "--blank-col") flag(o.genBlankCol);
    else if (name == "--mipmaps") flag(o.genMipMaps);
    else if (name == "--mipmap-threshold") {
        const std::string v = value();
        const char* const items[] = {"all", "16", "32", "64", "128"};
        int found = -1;
        for (int i = 0; i < 5; ++i)
            if (v == items[i]) found = i;
        if (found < 0) throw UsageError{"unknown mip-map threshold \"" + v + "\" (all, 16, 32, 64 or 128)"};
        o.mipSizeThreshold = mipSizeThresholdOfChoice(found);
    } else if (name == "--night-prelight") flag(o.genNightPrelit);
    else if (name == "--day-min") o.prelightDayMinimum = integerIn(name, value(), 0, 255);
    else if (name == "--night-min") o.prelightNightMinimum = integerIn(name, value(), 0, 255);
    else if (name == "--optimise-mesh") flag(o.optimiseMesh);
    else if (name == "--img") flag(o.buildImg);
    else if (name == "--zon") {
        o.zonPath = value();
        o.useZon = true;
    } else if (name == "--island") {
        o.zonIsland = integerIn(name, value(), 0, 255);
        islandGiven = true;
    } else if (name == "--force-megalods") {
        flag(o.forceMegaLods);
        megaGiven = true;
    } else if (name == "--jobs") o.jobs = integerIn(name, value(), 1, 256);
    else throw UsageError{"unknown option " + name};
}

} // namespace

CliCommand parseCommandLine(const std::vector<std::string>& args, int defaultJobs) {
    CliCommand cmd;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") return cmd;
    if (args[0] == "convert") cmd.kind = CommandKind::Convert;
    else if (args[0] == "info") cmd.kind = CommandKind::Info;
    else throw UsageError{"unknown command \"" + args[0] + "\""};

    const std::vector<std::string> rest(args.begin() + 1, args.end());
    ArgumentCursor cur(rest);
    ConversionOptions& o = cmd.options;
    o.jobs = defaultJobs;
    std::optional<std::string> lvz, out, modelPrefix, texturePrefix;
    bool islandGiven = false, megaGiven = false;
    while (!cur.done()) {
        const std::string arg = cur.next();
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            if (lvz) throw UsageError{"more than one level given (\"" + *lvz + "\" and \"" + arg + "\")"};
            lvz = arg;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const std::optional<std::string> inl =
            eq == std::string::npos ? std::nullopt : std::optional<std::string>(arg.substr(eq + 1));
        if (cmd.kind == CommandKind::Info && name != "--edition") throw UsageError{"info takes only --edition"};
        parseConvertOption(o, cur, name, inl, islandGiven, megaGiven);
        if (name == "--out") out = o.outputFolder.string();
        if (name == "--model-prefix") modelPrefix = o.modelPrefix;
        if (name == "--texture-prefix") texturePrefix = o.texturePrefix;
    }
    if (!lvz) throw UsageError{"no level given"};
    if ((islandGiven || megaGiven) && !o.useZon) throw UsageError{"--island and --force-megalods need --zon"};

    // The pick derives the names and the output folder; explicit options then take precedence.
    applyLevelPick(o, *lvz);
    if (out) o.outputFolder = *out;
    if (modelPrefix) o.modelPrefix = *modelPrefix;
    if (texturePrefix) o.texturePrefix = *texturePrefix;
    return cmd;
}

} // namespace veldrin::cli
