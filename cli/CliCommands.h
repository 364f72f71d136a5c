#pragma once
#include "app/ConversionOptions.h"
#include "cli/ConvertOptions.h"

namespace veldrin::cli {

// Each returns the process exit status: 0 success, 1 failure.
int runConvertCommand(const ConvertRequest& request);
int runInfoCommand(const ConvertRequest& request, ConversionOptions options);

// The island a --zon run keeps: --island, or the smallest island of the zone file. Throws VeldrinError
// when the zone file cannot be read or holds no zone.
int islandToKeep(const ConvertRequest& request, const std::filesystem::path& zonPath);

} // namespace veldrin::cli
