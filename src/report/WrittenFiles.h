#pragma once
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "pcout/OutputSink.h"
#include "report/RunRecord.h"

namespace veldrin {

// The sink's record of a run with each file's SHA-256, read back from what is on disk: a loose file
// from the level folder, an archive entry from its archive through the archive's own directory (the
// "VER2" header, or the ".DIR" file beside the ".IMG"). Hashes on `jobs` threads. Throws VeldrinError
// when a file is missing, an entry is not in its archive's directory, or a size differs from the record.
// `known` gives the SHA-256 of files hashed as their bytes went to the sink: those are not hashed again,
// only their sizes checked.
std::vector<RecordedFile> hashWrittenFiles(const std::filesystem::path& folder, const std::vector<WrittenFile>& files,
                                           int jobs, const std::unordered_map<std::string, std::string>& known = {});

} // namespace veldrin
