#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"

namespace veldrin {

// A model the run has written, in commit order.
struct CommittedModel {
    int resourceIndex = 0;
    std::string name;
    std::vector<int> textureIds; // distinct
};

// One texture dictionary of a run.
struct DictionaryPlan {
    std::string name;             // "<LEVEL>TXD", "<LEVEL>TXD<n>" or, one per model, the model's name
    std::size_t firstModel = 0;   // committed models [firstModel, endModel) it serves
    std::size_t endModel = 0;
    bool afterIndexFiles = false; // the level's one dictionary is built after the IDE and IPL files
    std::vector<int> textureIds;  // its models' textures, distinct, ordered by their decimal text

    std::string fileName() const { return name + ".TXD"; }  // as a loose file
    std::string entryName() const { return name + ".txd"; } // as an IMG entry
};

// The dictionaries of a run, in the order they are built, from its committed models: none; one for the
// level ("<LEVEL>TXD", after the index files); one per model (under the model's name); or one per group
// of modelsPerTxd models ("<LEVEL>TXD1", ...), plus always one more group after the last full one, empty
// when the count is a multiple of the group size. LEVEL is the level name in upper case.
// Prefix-stable: a dictionary's name and models never depend on models committed after its last one,
// so the run builds each as soon as its models are committed.
std::vector<DictionaryPlan> assignDictionaries(std::span<const CommittedModel> models, const ConversionOptions& options);
// The same from the planned models, as if none were skipped.
struct PlannedModel;
std::vector<DictionaryPlan> assignDictionaries(std::span<const PlannedModel> models, const ConversionOptions& options);

// The dictionary a model's IDE line names, for the model committed at `commitIndex`: "NULL" without
// dictionaries. The same rule as assignDictionaries.
std::string ideDictionaryName(std::size_t commitIndex, const std::string& modelName, const ConversionOptions& options);

// The dictionary that holds the model committed at `commitIndex`, as far as `models` go; with
// commitIndex == models.size(), the one the next model would go into (the group after the last full one).
// Without dictionaries: an empty name. The building block of assignDictionaries.
DictionaryPlan dictionaryAt(std::size_t commitIndex, std::span<const CommittedModel> models, const ConversionOptions& options);

// True when the dictionary of the model committed at `commitIndex` has all its models once that model is
// committed (one per model, or the last of a full group): the run builds it then.
bool closesDictionary(std::size_t commitIndex, const ConversionOptions& options);

} // namespace veldrin
