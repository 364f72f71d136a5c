#pragma once
#include "app/ConversionOptions.h"
#include "cli/ConvertOptions.h"
#include "level/ZonFile.h"

namespace veldrin::cli {

// Each returns the process exit status: 0 success, 1 failure.
int runConvertCommand(const ConvertRequest& request);
int runInfoCommand(const ConvertRequest& request, ConversionOptions options);

// The zone file named by --zon, refused with VeldrinError when it cannot be read.
ZoneTable readZoneFile(const std::filesystem::path& zonPath);

// The island a --zon run keeps: --island, or the smallest island of the zone file. Throws VeldrinError
// when the file holds no zone.
int islandToKeep(const ConvertRequest& request, const ZoneTable& zones, const std::filesystem::path& zonPath);

} // namespace veldrin::cli
