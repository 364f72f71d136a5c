#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace veldrin {

// What a kind of warning means for the modder and what to do about it.
struct WarningKind {
    std::string_view id;      // short name used in the manifest, e.g. "texture-missing"
    std::string_view title;   // heading on the page and at the end of a command-line run
    std::string_view meaning; // what happened to the output
    std::string_view advice;  // what to do
};

// The kind of a warning text of the run; "other" for texts no kind describes.
const WarningKind& classifyWarning(std::string_view text);
// The kind named `id`; "other" when none is.
const WarningKind& warningKindById(std::string_view id);

// Warnings of one kind, in the order they were raised.
struct WarningGroup {
    const WarningKind* kind;
    std::vector<std::string> texts;
};
// Groups {kind id, text} pairs by kind, kinds in order of first appearance.
std::vector<WarningGroup> groupWarnings(const std::vector<std::pair<std::string, std::string>>& warnings);

} // namespace veldrin
