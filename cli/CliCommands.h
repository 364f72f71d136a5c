#pragma once
#include "app/ConversionOptions.h"

namespace veldrin::cli {

// Each returns the process exit status: 0 success, 1 failure.
int runConvertCommand(const ConversionOptions& options);
int runInfoCommand(const ConversionOptions& options);

} // namespace veldrin::cli
