#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veldrin {

// The kind of a warning, given where it is raised, so that rewording a message never moves it elsewhere.
enum class WarningKind {
    ResourceIndexOutOfRange, // the level names resources it does not hold
    ModelTooLarge,           // a model past the 16-bit index limit, left out
    TextureMissing,          // a dictionary leaves out a texture the level lacks
    EmptyIsland,             // the island filter keeps no placement
    IdleOption,              // an option that does nothing for the chosen target or without its parent
    LongName,                // names that fit these files but not an IMG archive made later
    StaleFiles,              // files of earlier runs left in the level folder
    NameClash,               // a level given other names than its own, which another level or the game has
    Report,                  // the report left something out or could not be written; game files unaffected
    Other,
};

// What a kind of warning means for the modder and what to do about it.
struct WarningKindText {
    std::string_view id;      // short name used in the manifest, e.g. "texture-missing"
    std::string_view title;   // heading on the page and at the end of a command-line run
    std::string_view meaning; // what happened to the output
    std::string_view advice;  // what to do
};

const WarningKindText& describeWarning(WarningKind kind);
// The kind named `id` in a manifest; "other" when none is.
const WarningKindText& warningKindById(std::string_view id);

// One warning as a run raised it.
struct RunWarning {
    WarningKind kind = WarningKind::Other;
    std::string text;
};

// Warnings of one kind, in the order they were raised.
struct WarningGroup {
    const WarningKindText* kind;
    std::vector<std::string> texts;
};
// Groups {kind id, text} pairs by kind, kinds in order of first appearance.
std::vector<WarningGroup> groupWarnings(const std::vector<std::pair<std::string, std::string>>& warnings);
// The same for a run's warnings.
std::vector<WarningGroup> groupWarnings(const std::vector<RunWarning>& warnings);

} // namespace veldrin
