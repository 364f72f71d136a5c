#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "level/ZonFile.h"

namespace veldrin {

// Checks a run makes before it reads a model, so that nothing is left half done. Each returns what it
// finds; none throws, none writes.

// The LVZ, its IMG and (with the island filter on) the MAP.ZON: missing, a folder, or empty. The LVZ
// comes first, so a missing LVZ is named as the LVZ and not as its IMG. A missing IMG keeps the
// window's words ("<IMG path> not found"). The island filter without a zone file is refused: the whole
// level is not what was asked for.
std::vector<std::string> checkInputFiles(const ConversionOptions& options);

inline constexpr const char* kNoZonFileMessage = "the island filter is on but no MAP.ZON is given";

// Why the output folder could not be created or written, found without creating it: the nearest
// existing folder on its path must take a new file.
std::optional<std::string> outputFolderProblem(const std::filesystem::path& folder);

// The folders a conversion writes: the level folder and, with the report on, the report folder.
std::vector<std::string> checkOutputFolders(const ConversionOptions& options);

// One line for each option set for a target it does nothing for, by the option table's targets:
// mip-maps for GTA 3, night prelight for GTA 3 and GTA VC, high block compression quality for GTA 3.
std::vector<std::string> idleOptionWarnings(const ConversionOptions& options);

// A warning when no zone of `zones` belongs to `island`, naming the islands the file has.
std::optional<std::string> emptyIslandWarning(const ZoneTable& zones, int island, const std::string& zonName);

// A warning when files written loose (models, dictionaries) have names too long for an IMG archive
// entry: `entryNames` are the names as files, extension included. The archive mode refuses them before
// it starts.
std::optional<std::string> longEntryNameWarning(const ConversionOptions& options, const std::vector<std::string>& entryNames);

} // namespace veldrin
