#pragma once
#include "app/options/ConversionOptions.h"
#include "cli/ConvertOptions.h"

namespace veldrin::cli {

// Each returns the process exit status: 0 success, 1 failure.
int runConvertCommand(const ConvertRequest& request);
int runInfoCommand(const ConvertRequest& request, ConversionOptions options);

} // namespace veldrin::cli
