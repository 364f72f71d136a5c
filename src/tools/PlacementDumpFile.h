#pragma once
#include <filesystem>

#include "tools/PlacementDump.h"

namespace veldrin {

struct PlacementDumpFiles {
    std::filesystem::path ide; // <outFolder>/lcs.ide
    std::filesystem::path ipl; // <outFolder>/lcs.ipl
    int models = 0;
    int instances = 0;
};

// Reads the whole game data file (GAME.DTZ as stored, or already inflated), builds the dump and
// writes lcs.ide and lcs.ipl into `outFolder` (created when missing; files of the same names are
// replaced). Nothing is written when the input is refused. Throws VeldrinError with the reason.
PlacementDumpFiles writePlacementDump(const std::filesystem::path& gameDataPath, const PlacementDumpOptions& options,
                                      const std::filesystem::path& outFolder);

} // namespace veldrin
