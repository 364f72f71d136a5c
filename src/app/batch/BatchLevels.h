#pragma once
#include <filesystem>
#include <vector>

namespace veldrin {

// True for a file name ending in ".lvz" in any case.
bool hasLvzExtension(const std::filesystem::path& path);

// The levels a batch converts, from what the user named: a folder stands for every "*.lvz" file directly
// inside it (any case of the extension) in name order; a file stands for itself. The order of the
// arguments is kept and a level named twice is converted once. Throws VeldrinError for a folder without
// levels or one that cannot be read.
std::vector<std::filesystem::path> batchLevelFiles(const std::vector<std::filesystem::path>& named);

} // namespace veldrin
