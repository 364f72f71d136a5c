#include "install/GameLimits.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace veldrin::install {

namespace {

// The fixed limits of each game, without a limit adjuster. A 0 means the game has no such limit.
//
// Model ids and slots: the streaming table gives models the indices 0-5499 (GTA 3), 0-6499 (VC) and
// 0-19999 (SA), texture dictionaries the next 850 (5500-6349), 1385 (6500-7884) and 5000 (20000-24999)
// slots, and collision files 31 slots in VC (7885-7915) and 256 in SA (25000-25255): slot 0 "generic"
// takes every COLFILE line, each .col entry of an archive a slot of its own; GTA 3 reads its collision
// files whole, into no slots. (GTAMods wiki, "Resource Streaming",
// https://gtamods.com/wiki/Resource_Streaming; the same figures in the reversed games' configuration,
// MODELINFOSIZE, TXDSTORESIZE, COLSTORESIZE; SA's 20000 / 5000 / 256 in the model id table of
// https://gtaundergroundmod.com/pages/ug-mp/documentation/limits.)
//
// Archives: SA reads at most five IMG lines of its data files, more crash it (GTAMods wiki, "gta.dat",
// https://gtamods.com/wiki/Gta.dat). GTA 3 and VC keep every archive, their own models/gta3.img with
// those of the CDIMAGE lines, in a table of 8 (the reversed games' streaming code, MAX_CDIMAGES).
//
// Placements: each "inst" line takes a slot of the building pool, or of the treadable or dummy pool for
// roads (GTA 3 and VC) and moving objects: 5500 + 1214 + 2802 in GTA 3 and 7000 + 1 + 2340 in VC (the reversed games'
// NUMBUILDINGS, NUMTREADABLES, NUMDUMMIES), 13000 + 2500 in SA (the defaults a limit adjuster's settings
// name, "Buildings (13000)", "Dummies (2500)"; 13000 also in
// https://wiki.multitheftauto.com/wiki/Template:Engine_pools), where one IPL file holds at most 4096
// (the same settings' "Inst entries per file (4096)").
//
// A limit adjuster raises some of them (LimitAdjusters: the model ids, dictionary and collision slots,
// each pool, the placements of one IPL file); the archives stay.
struct TargetLimits {
    long long modelIds;
    long long dictionarySlots;
    long long collisionSlots;
    long long archives;
    bool archivesAreLines; // SA's five count IMG lines; GTA 3's and VC's eight count every archive
    long long buildings, treadables, dummies;
    const char* placementPools;
    long long placementsPerIpl;
};

constexpr TargetLimits kGta3{5500, 850, 0, 8, false, 5500, 1214, 2802, "building, treadable and dummy pools", 0};
constexpr TargetLimits kGtaVc{6500, 1385, 31, 8, false, 7000, 1, 2340, "building, treadable and dummy pools", 0};
constexpr TargetLimits kGtaSa{20000, 5000, 256, 5, true, 13000, 0, 2500, "building and dummy pools", 4096};

const TargetLimits& limitsOf(TargetGame target) {
    switch (target) {
    case TargetGame::Gta3: return kGta3;
    case TargetGame::GtaVc: return kGtaVc;
    case TargetGame::GtaSa: return kGtaSa;
    }
    return kGta3;
}

// A row whose limit is the sum of `parts` (one, or the pools that share the placements), each part its
// stock figure unless an adjuster sets it.
LimitRow rowOf(std::string what, long long figure, const LimitAdjustments& adjusters,
               std::initializer_list<std::pair<AdjustableLimit, long long>> parts) {
    LimitRow row;
    row.what = std::move(what);
    row.figure = figure;
    for (const auto& [which, stock] : parts) {
        row.stockLimit += stock;
        const auto set = adjusters.limits.find(which);
        if (set == adjusters.limits.end()) {
            row.limit += stock;
            continue;
        }
        row.limit += set->second.value;
        row.unlimited = row.unlimited || set->second.unlimited;
        if (row.source.find(set->second.source) == std::string::npos)
            row.source += (row.source.empty() ? "" : ", ") + set->second.source;
    }
    return row;
}

LimitRow stockRow(std::string what, long long figure, long long limit) {
    LimitRow row;
    row.what = std::move(what);
    row.figure = figure;
    row.limit = row.stockLimit = limit;
    return row;
}

} // namespace

std::vector<LimitRow> limitTable(const GameFolder& game, const GameContent& content, const AddedContent& added) {
    const TargetLimits& limits = limitsOf(game.target);
    const LimitAdjustments& a = content.adjusters;
    using enum AdjustableLimit;
    std::vector<LimitRow> rows;
    // Ids count from 0, so the highest id in use must stay below the number of ids.
    rows.push_back(rowOf("model ids (highest id + 1)", std::max(content.highestId, added.highestId) + 1LL, a, {{ModelIds, limits.modelIds}}));
    rows.push_back(rowOf("texture dictionary slots", content.dictionaries + (long long)added.dictionaries, a,
                         {{DictionarySlots, limits.dictionarySlots}}));
    if (limits.collisionSlots > 0)
        rows.push_back(rowOf("collision file slots", content.collisionFiles + (long long)added.collisionFiles, a,
                             {{CollisionSlots, limits.collisionSlots}}));
    // No adjuster raises the archives.
    if (limits.archivesAreLines)
        rows.push_back(stockRow("archives named by IMG lines", content.archiveLines + (long long)added.archives, limits.archives));
    else
        rows.push_back(stockRow("archives (the game's own included)", content.archives + (long long)added.archives, limits.archives));
    const long long placements = content.placements + (long long)added.placements;
    const std::string pools = std::string("placements (") + limits.placementPools + ")";
    if (limits.treadables > 0)
        rows.push_back(rowOf(pools, placements, a, {{Buildings, limits.buildings}, {Treadables, limits.treadables}, {Dummies, limits.dummies}}));
    else
        rows.push_back(rowOf(pools, placements, a, {{Buildings, limits.buildings}, {Dummies, limits.dummies}}));
    if (limits.placementsPerIpl > 0)
        rows.push_back(rowOf("placements in one IPL file", added.largestIplPlacements, a, {{PlacementsPerIpl, limits.placementsPerIpl}}));
    return rows;
}

std::vector<std::string> limitsPassed(const std::vector<LimitRow>& rows) {
    std::vector<std::string> passed;
    for (const LimitRow& row : rows)
        if (row.over())
            passed.push_back(row.what + ": " + limitNumberText(row.figure) + " of " + limitNumberText(row.limit) + " (" +
                             limitNumberText(row.figure - row.limit) + " over)");
    return passed;
}

std::string limitNumberText(long long n) {
    const unsigned long long magnitude = n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    const std::string digits = std::to_string(magnitude);
    std::string text = n < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

long long placementsPerIplFile(TargetGame target) { return limitsOf(target).placementsPerIpl; }

long long iplFilesFor(TargetGame target, long long placements) {
    const long long perFile = placementsPerIplFile(target);
    return perFile > 0 && placements > perFile ? (placements + perFile - 1) / perFile : 1;
}

} // namespace veldrin::install
