#pragma once
#include "app/options/ConversionOptions.h"
#include "report/RunRecord.h"
#include "app/options/OptionTable.h"

#include <span>

namespace veldrin {

// Every conversion option of the option table that shapes the level's files, under its command-line
// name, as the report's manifest lists them ("target": "sa", "txd": "group", "ide": true, ...). Options
// that only refine another (the models per dictionary, the island) are listed whatever their parent
// says, so two manifests compare line by line.
// With `only`, just those options (what `info` takes).
std::vector<std::pair<std::string, RunRecord::OptionValue>> recordedOptions(const ConversionOptions& options,
                                                                           std::span<const OptionId> only = {});
// The names of the recorded options whose value differs from a run of the same level with every
// default (the output folder beside the LVZ, the prefixes the level's name, the edition as detected).
std::vector<std::string> changedOptions(const ConversionOptions& options, std::span<const OptionId> only = {});

// The level part of the record: name, LVZ and IMG paths, edition by its command-line name.
RunRecord::Level recordedLevel(const ConversionOptions& options, bool editionDetected);

} // namespace veldrin
