#pragma once
#include <filesystem>
#include <vector>

#include "pcout/OutputSink.h"
#include "report/RunRecord.h"

namespace veldrin {

// The sink's record of a run with each file's SHA-256, read back from what is on disk: a loose file
// from the level folder, an archive entry from its archive through the archive's own directory (the
// "VER2" header, or the ".DIR" file beside the ".IMG"). Hashes on `jobs` threads. Throws VeldrinError
// when a file is missing, an entry is not in its archive's directory, or a size differs from the record.
std::vector<RecordedFile> hashWrittenFiles(const std::filesystem::path& folder, const std::vector<WrittenFile>& files,
                                           int jobs);

} // namespace veldrin
