#pragma once
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "pcout/OutputSink.h"
#include "report/RunRecord.h"

namespace veldrin {

// The sink's record of a run with each file's SHA-256, read back from what is on disk: a loose file
// from the level folder, an archive entry from its archive through the archive's own directory (the
// "VER2" header, or the ".DIR" file beside the ".IMG"). Hashes on `jobs` threads. Throws VeldrinError
// when a file is missing, an entry is not in its archive's directory, or a size differs from the record.
// `alsoRead`, when given, sees each file's bytes (by its index in `files`) on the thread that hashes it,
// so other facts are read from the same pass.
std::vector<RecordedFile> hashWrittenFiles(const std::filesystem::path& folder, const std::vector<WrittenFile>& files,
                                           int jobs,
                                           const std::function<void(std::size_t, std::span<const uint8_t>)>& alsoRead = {});

} // namespace veldrin
