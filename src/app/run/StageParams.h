#pragma once
#include "app/options/ConversionOptions.h"
#include "app/run/RunPlan.h"
#include "model/ModelConverter.h"
#include "texture/TextureDictionary.h"

namespace veldrin {

// The options of one stage, each filled in one place from the run's options.
ModelParams modelParamsFor(const ConversionOptions& options, const PlannedModel& model);
TxdParams txdParamsFor(const ConversionOptions& options);

} // namespace veldrin
