#include "install/LimitAdjusters.h"

#include <algorithm>
#include <array>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/GamePath.h"
#include "internal/InstallTexts.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

// One key of an adjuster's configuration that sets a limit of the table.
struct AdjusterKey {
    AdjusterFormat format;
    TargetGame target;
    const char* section; // without the brackets
    const char* key;
    AdjustableLimit limit;
    bool mayBeUnlimited; // the adjuster documents "unlimited" for it
    bool needsIdPatch;   // taken only with [ID LIMITS] "Apply ID limit patch = 1"
};

using enum AdjustableLimit;
using enum AdjusterFormat;

constexpr std::array kKeys{
    // fastman92 limit adjuster, fastman92limitAdjuster_GTASA.ini. [ID LIMITS]: the file id ranges of the
    // streaming table (model ids, then dictionaries, then collision files), read only when "Apply ID limit
    // patch = 1", as its own message says ("requires the patch of ID limits enabled. Please change ([ID
    // LIMITS] -> Apply ID limit patch)") and as the users' notes read it ("Apply ID limit patch = 1",
    // "FILE_TYPE_DFF = 30000" giving the ids 0-29999, "FILE_TYPE_TXD = 6000" the slots 20000-25999 in its
    // log). [IPL]: "Buildings" (13000), "Dummies" (2500), "Inst entries per file" (4096), the fields of its
    // configuration table (ConfigurationFuncArray_IPL). A line opening with '#' is off and the game keeps
    // its stock figure (its log prints none for it).
    AdjusterKey{Fastman92, TargetGame::GtaSa, "ID LIMITS", "FILE_TYPE_DFF", ModelIds, false, true},
    AdjusterKey{Fastman92, TargetGame::GtaSa, "ID LIMITS", "FILE_TYPE_TXD", DictionarySlots, false, true},
    AdjusterKey{Fastman92, TargetGame::GtaSa, "ID LIMITS", "FILE_TYPE_COL", CollisionSlots, false, true},
    AdjusterKey{Fastman92, TargetGame::GtaSa, "IPL", "Buildings", Buildings, false, false},
    AdjusterKey{Fastman92, TargetGame::GtaSa, "IPL", "Dummies", Dummies, false, false},
    AdjusterKey{Fastman92, TargetGame::GtaSa, "IPL", "Inst entries per file", PlacementsPerIpl, false, false},
    // Open Limit Adjuster (github.com/GTAmodding/III.VC.SA.LimitAdjuster, doc/III.VC.SA.LimitAdjuster.ini and
    // the older doc/limit_adjuster_gta3vcsa.ini; src/limits/Pools/Pools.cpp): one section per game,
    // [GTA3LIMITS] Buildings and Dummys, [VCLIMITS] Buildings, Treadables and Dummys, [SALIMITS] Buildings
    // and Dummys, the pools the IPL lines fill; [SALIMITS] EntitiesPerIpl, "Maximum amount of instantiated
    // entities (in INST section) from a single IPL file", marked [CanBeUnlimited] (src/limits/IPL/
    // EntitiesPerIPL.cpp: "unlimited" grows the array as the lines come). The pools take a number only.
    AdjusterKey{OpenLimitAdjuster, TargetGame::Gta3, "GTA3LIMITS", "Buildings", Buildings, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::Gta3, "GTA3LIMITS", "Dummys", Dummies, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::GtaVc, "VCLIMITS", "Buildings", Buildings, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::GtaVc, "VCLIMITS", "Treadables", Treadables, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::GtaVc, "VCLIMITS", "Dummys", Dummies, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::GtaSa, "SALIMITS", "Buildings", Buildings, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::GtaSa, "SALIMITS", "Dummys", Dummies, false, false},
    AdjusterKey{OpenLimitAdjuster, TargetGame::GtaSa, "SALIMITS", "EntitiesPerIpl", PlacementsPerIpl, true, false},
};

const AdjusterKey* keyOf(AdjusterFormat format, TargetGame target, const std::string& section, const std::string& key) {
    for (const AdjusterKey& k : kKeys)
        if (k.format == format && k.target == target && toLower(k.section) == section && toLower(k.key) == key) return &k;
    return nullptr;
}

// "key = value ; comment" -> key and value, blanks trimmed; none for a line without '='.
std::optional<std::pair<std::string, std::string>> setting(std::string_view line) {
    line = line.substr(0, line.find(';'));
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return std::pair{toLower(trimBlanks(line.substr(0, equals))), std::string(trimBlanks(line.substr(equals + 1)))};
}

} // namespace

std::vector<AdjusterFile> adjusterFiles(TargetGame target) {
    std::vector<AdjusterFile> files;
    if (target == TargetGame::GtaSa) files.push_back({"fastman92limitAdjuster_GTASA.ini", Fastman92});
    files.push_back({"III.VC.SA.LimitAdjuster.ini", OpenLimitAdjuster});
    files.push_back({"limit_adjuster_gta3vcsa.ini", OpenLimitAdjuster});
    return files;
}

LimitAdjustments readAdjusterText(std::string_view text, AdjusterFormat format, TargetGame target, const std::string& source) {
    LimitAdjustments read;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (std::find(bytes.begin(), bytes.end(), uint8_t{0}) != bytes.end()) {
        read.notes.push_back(texts::adjusterNotText(source));
        return read;
    }
    std::string section;
    bool idPatch = false;
    std::vector<std::pair<const AdjusterKey*, std::size_t>> waiting; // keys that need the id patch, with their lines
    std::map<AdjustableLimit, AdjustedLimit> found;
    std::size_t number = 0;
    for (const TextLine& textLine : splitLines(text)) {
        ++number;
        const std::string_view line = trimBlanks(textLine.content);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = close == std::string_view::npos ? std::string() : toLower(trimBlanks(line.substr(1, close - 1)));
            continue;
        }
        const auto kv = setting(line);
        if (!kv) continue;
        const auto& [key, value] = *kv;
        if (format == Fastman92 && section == "id limits" && key == "apply id limit patch") {
            idPatch = parseInteger(value) == 1;
            continue;
        }
        const AdjusterKey* k = keyOf(format, target, section, key);
        if (!k || found.count(k->limit)) continue; // the first setting of a limit is the one taken
        AdjustedLimit limit;
        limit.source = source;
        if (k->mayBeUnlimited && toLower(value) == "unlimited") {
            limit.unlimited = true;
        } else {
            const std::optional<long long> n = parseInteger(value);
            if (!n || *n < 1 || *n > kMaxAdjustedLimit) {
                read.notes.push_back(texts::adjusterBadValue(source, number, k->key, value, kMaxAdjustedLimit, k->mayBeUnlimited));
                continue;
            }
            limit.value = *n;
        }
        found[k->limit] = limit;
        if (k->needsIdPatch) waiting.emplace_back(k, number);
    }
    for (const auto& [k, line] : waiting) {
        if (idPatch) continue;
        found.erase(k->limit);
        read.notes.push_back(texts::adjusterIdPatchOff(source, line, k->key));
    }
    read.limits = std::move(found);
    return read;
}

LimitAdjustments readLimitAdjusters(const GameFolder& game) {
    LimitAdjustments all;
    for (const AdjusterFile& file : adjusterFiles(game.target)) {
        for (const char* folder : {"", "scripts\\", "plugins\\"}) {
            const std::string gamePath = std::string(folder) + file.name;
            const std::optional<fs::path> found = findInGameFolder(game.root, gamePath);
            std::error_code error;
            if (!found || !fs::is_regular_file(*found, error)) continue;
            const std::uintmax_t size = fs::file_size(*found, error);
            if (error || size > kMaxAdjusterBytes) {
                all.notes.push_back(error ? texts::unreadable(gamePath, error.message()) : texts::adjusterTooLarge(gamePath, kMaxAdjusterBytes));
                continue;
            }
            std::vector<uint8_t> bytes;
            try {
                bytes = readBoundedFile(*found, kMaxAdjusterBytes, gamePath);
            } catch (const VeldrinError& e) {
                all.notes.push_back(e.what());
                continue;
            }
            LimitAdjustments read = readAdjusterText(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file.format, game.target, gamePath);
            for (auto& [limit, setting] : read.limits) all.limits.emplace(limit, std::move(setting)); // an earlier file's stands
            all.notes.insert(all.notes.end(), read.notes.begin(), read.notes.end());
        }
    }
    return all;
}

} // namespace veldrin::install
