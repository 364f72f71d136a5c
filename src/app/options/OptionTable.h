#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "report/RunRecord.h"

namespace veldrin {

// Every conversion option, declared once in optionTable(): the command line builds its options from
// it, the manifest records them through it, the window keeps its settings under its keys and the run
// warns about idle options by its targets.
enum class OptionId {
    Clean, Out, Edition, Report, ReportThumbnails, Gltf, Target, Txd, ModelsPerTxd, TexturePrefix, Mipmaps, DxtQuality, MipmapThreshold,
    ModelPrefix, OptimiseMesh, NightPrelight, DayMin, NightMin, BlankCol, Img, Ide, IdOffset, MapOffset, Zon,
    Island, ForceMegalods, Jobs,
};

// The target games an option acts for, as bits.
enum TargetBits : unsigned { kForGta3 = 1, kForVc = 2, kForSa = 4, kForAll = 7 };

struct OptionEntry {
    OptionId id;
    const char* name;        // command-line name without "--", and the manifest's key
    const char* shortName;   // one letter ("o" for -o), or ""
    const char* valueLabel;  // the value's name in the help ("N", "MODE"); "" for a flag
    const char* meaning;     // what it does, for the help
    const char* defaultText; // the default as the help says it: "50", ": the level's name"; "" for a flag
    const char* section;     // the help's heading, or "" for the first lines
    unsigned targets = kForAll;
    std::optional<OptionId> refines{}; // the option it only refines: it does nothing unless that one acts
    const char* refinesWhen = "";    // the value the refined option must have; "": any but its default
    const char* title = "";          // for an option with fewer targets: its name in a warning ("mip-map")
    const char* targetNote = "";     // and what it is for ("mip-maps are made for")
    // A value as the user types it; throws VeldrinError naming the option and the values it takes.
    // Null for a flag. The output folder and the prefixes are set after a level's pick, which derives them.
    void (*set)(ConversionOptions&, const std::string&) = nullptr;
    // A flag's field; null for a value option.
    bool ConversionOptions::*flag = nullptr;
    // How the manifest records it; null for an option that does not shape the level's files.
    RunRecord::OptionValue (*record)(const ConversionOptions&) = nullptr;
    // Where the window's saved settings keep it, "group/ControlName", one key per control (a choice of
    // radio buttons has one per button, in the order of its values).
    std::vector<const char*> settingsKeys{};
};

std::span<const OptionEntry> optionTable();

// The options `info` takes besides the level: the edition, and what its pictures show (the map's
// offset, the island filter, the threads).
inline constexpr OptionId kInfoOptions[] = {OptionId::Edition, OptionId::MapOffset, OptionId::Zon, OptionId::Island,
                                            OptionId::ForceMegalods, OptionId::Jobs};
const OptionEntry& optionEntry(OptionId id);

// "(default 50)" and the like joined to the meaning, with "with --ide, " before an option that refines
// another and the targets after one made for some games only: the help line of the option.
std::string optionHelp(const OptionEntry& entry);

// Whether the option `entry` refines acts with `options`; true for an option that refines none.
bool refinedOptionActs(const OptionEntry& entry, const ConversionOptions& options);
// "--txd group", "--ide": what an option that refines another needs.
std::string refinementNeeds(const OptionEntry& entry);

} // namespace veldrin
