#pragma once
#include <functional>
#include <set>
#include <string>

#include "app/ConversionOptions.h"

namespace veldrin {

// The run's texture list: decimal texts of texture indices, sorted as text ("10" before "9").
using TextureList = std::set<std::string>;

// Decides when the texture list becomes a dictionary, under which name, and empties it afterwards.
// `build(name, fileName, list)` makes one dictionary; fileName is what the status text shows.
class TxdGrouping {
public:
    using BuildDictionary = std::function<void(const std::string& name, const std::string& shownName, const TextureList&)>;

    TxdGrouping(const ConversionOptions& options, BuildDictionary build);

    void afterModel(const std::string& modelName, TextureList& list);
    void afterModelLoop(TextureList& list);
    void atEndOfRun(TextureList& list);

    // Dictionary named in a model's IDE line, given the model's own name.
    std::string ideDictionaryName(const std::string& modelName) const;
    int groupsBuilt() const { return groups_; }

private:
    void closeGroup(TextureList& list);

    const ConversionOptions& options_;
    BuildDictionary build_;
    std::string upperLevel_;
    int groups_ = 0;       // group dictionaries built so far
    int groupCounter_ = 1; // models in the open group, counted the way the group rule counts them
};

} // namespace veldrin
