#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "pcout/OutputSink.h"

namespace veldrin {

// Names of what the folder holds now, sorted; none when it does not exist.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

// The entries of `before` that the run did not write as files of the level folder: what is left of
// earlier runs (archive entries do not count; the archive files themselves do).
std::vector<std::string> staleEntries(const std::vector<std::string>& before, const std::vector<WrittenFile>& written);

// The one warning line for stale entries of a level folder.
std::string staleFilesWarning(const std::filesystem::path& levelFolder, std::size_t count);

// Removes the level folder `outputFolder / levelName` with all it holds, before a run writes it anew.
// Only that folder: the level name must be a plain name, the folder must not be a link, and it must not
// hold any of `inputs` (the LVZ, IMG or zone file a run is about to read). Links inside are removed,
// never followed. A missing folder is nothing to do. Throws VeldrinError when it refuses or fails.
void cleanLevelFolder(const std::filesystem::path& outputFolder, const std::string& levelName,
                      const std::vector<std::filesystem::path>& inputs);

// Refuses, with the words of cleanLevelFolder, a folder that holds any of `inputs`.
void requireNoInputsInside(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& inputs);

} // namespace veldrin
