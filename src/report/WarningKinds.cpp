#include "report/WarningKinds.h"

#include <algorithm>
#include <array>

namespace veldrin {
namespace {

struct Pattern {
    std::string_view needle;
    WarningKind kind;
};

// The texts the run raises, recognised by a phrase each of them always holds.
constexpr std::array<Pattern, 5> kPatterns{{
    {"the island filter is off",
     {"zone-file-missing", "Zone file missing",
      "The zone file was not found, so every placement was kept instead of only those of the chosen island.",
      "Check the path given for MAP.ZON, or leave the island filter off."}},
    {"at or above the resource count",
     {"resource-index-out-of-range", "Resource indices out of range",
      "The level names resources it does not hold; the placements and lists naming them were left out.",
      "Check that the edition chosen matches the level; a damaged or modified level can also cause this."}},
    {"16-bit triangle indices",
     {"model-too-large", "Models too large",
      "These models have more vertices than a PC model can address and were not converted.",
      "Try --optimise-mesh, which merges shared vertices; otherwise the model has to be split by hand."}},
    {"is not in the level",
     {"texture-missing", "Textures missing",
      "Models name textures the level does not hold; the dictionaries leave them out and the game shows those "
      "surfaces untextured.",
      "Check that the edition chosen matches the level; otherwise add the textures to the dictionary by hand."}},
    // Raised by the report itself, never recognised in a text.
    {"",
     {"report", "Pictures left out", "The report could not draw these from the data; the game files are not affected.",
      "The message names the model or dictionary whose data could not be read."}},
}};

constexpr WarningKind kOther{"other", "Other warnings", "The run went on after these.",
                             "Read each message; the output may lack what it names."};

} // namespace

const WarningKind& classifyWarning(std::string_view text) {
    for (const Pattern& p : kPatterns)
        if (!p.needle.empty() && text.find(p.needle) != std::string_view::npos) return p.kind;
    return kOther;
}

const WarningKind& warningKindById(std::string_view id) {
    for (const Pattern& p : kPatterns)
        if (p.kind.id == id) return p.kind;
    return kOther;
}

std::vector<WarningGroup> groupWarnings(const std::vector<std::pair<std::string, std::string>>& warnings) {
    std::vector<WarningGroup> groups;
    for (const auto& [id, text] : warnings) {
        const WarningKind* kind = &warningKindById(id);
        auto it = std::find_if(groups.begin(), groups.end(), [&](const WarningGroup& g) { return g.kind == kind; });
        if (it == groups.end()) it = groups.insert(groups.end(), WarningGroup{kind, {}});
        it->texts.push_back(text);
    }
    return groups;
}

} // namespace veldrin
