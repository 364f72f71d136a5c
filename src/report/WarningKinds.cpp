#include "report/WarningKinds.h"

#include <algorithm>
#include <array>

namespace veldrin {
namespace {

// In the order of the enumeration.
constexpr std::array<WarningKindText, 10> kKinds{{
    {"resource-index-out-of-range", "Resource indices out of range",
     "The level names resources it does not hold; the placements and lists naming them were left out.",
     "Check that the edition chosen matches the level; a damaged or modified level can also cause this."},
    {"model-too-large", "Models too large",
     "These models have more vertices than a PC model can address and were not converted.",
     "Try --optimise-mesh, which merges shared vertices; otherwise the model has to be split by hand."},
    {"texture-missing", "Textures missing",
     "Models name textures the level does not hold; the dictionaries leave them out and the game shows those "
     "surfaces untextured.",
     "Check that the edition chosen matches the level; otherwise add the textures to the dictionary by hand."},
    {"empty-island", "Island without zones",
     "The zone file has no zone on the chosen island, so no placement was kept.",
     "Choose one of the islands the message lists."},
    {"idle-option", "Options that do nothing",
     "These options have no effect on this conversion; the output is as without them.",
     "Leave them out, or choose the target game they are made for."},
    {"long-name", "Names too long for an archive",
     "The files were written, but these names will not fit an IMG archive entry if you pack them later.",
     "Choose a shorter model prefix (--model-prefix) if you mean to put the models in an IMG."},
    {"stale-files", "Files left from earlier runs",
     "The level folder holds files this run did not write; the game or a later tool may pick them up.",
     "Use --clean (or empty the folder) to keep only what this run wrote."},
    {"name-clash", "Names given another prefix",
     "A level would have written models, dictionaries or files of the same name as another level or the game; "
     "it was given a prefix of its own, shown in the plan, so the game loads both.",
     "Nothing to do; to choose the names yourself, give each level its own model prefix or rename its files."},
    {"report", "Report incomplete",
     "The report could not draw or write everything; the game files are not affected.",
     "The message names what could not be read or written."},
    {"other", "Other warnings", "The run went on after these.", "Read each message; the output may lack what it names."},
}};

} // namespace

const WarningKindText& describeWarning(WarningKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    return index < kKinds.size() ? kKinds[index] : kKinds.back();
}

const WarningKindText& warningKindById(std::string_view id) {
    for (const WarningKindText& k : kKinds)
        if (k.id == id) return k;
    return kKinds.back();
}

std::vector<WarningGroup> groupWarnings(const std::vector<std::pair<std::string, std::string>>& warnings) {
    std::vector<WarningGroup> groups;
    for (const auto& [id, text] : warnings) {
        const WarningKindText* kind = &warningKindById(id);
        auto it = std::find_if(groups.begin(), groups.end(), [&](const WarningGroup& g) { return g.kind == kind; });
        if (it == groups.end()) it = groups.insert(groups.end(), WarningGroup{kind, {}});
        it->texts.push_back(text);
    }
    return groups;
}

std::vector<WarningGroup> groupWarnings(const std::vector<RunWarning>& warnings) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const RunWarning& w : warnings) pairs.emplace_back(std::string(describeWarning(w.kind).id), w.text);
    return groupWarnings(pairs);
}

} // namespace veldrin
