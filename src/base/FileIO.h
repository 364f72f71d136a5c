#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteSink.h"

namespace veldrin {

// Reads a whole file; throws VeldrinError "<path>: no such file", "<path>: is a folder" or
// "Cannot open file "<path>". <reason>" when it cannot. `spare`: room kept behind the bytes, so that
// much can be appended without moving them.
std::vector<uint8_t> readWholeFile(const std::filesystem::path& path, std::size_t spare = 0);

// Refuses, before anything is read, an input that is not a file with something in it, with a message
// naming it as given: "<path>: no such file", "<path>: is a folder", "<path>: is empty".
void requireInputFile(const std::filesystem::path& path);
// Why an input file cannot be read, in the same words, or none: "<path>: no such file", "<path>: is a
// folder", "<path>: is empty".
std::optional<std::string> inputFileProblem(const std::filesystem::path& path);

// Writes a whole file through a temporary file in the same folder and a rename, so a reader
// never sees a half-written file and a failure leaves the previous file as it was.
void writeWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);
void writeWholeFile(const std::filesystem::path& path, std::string_view text);

// The same for a file produced piece by piece: `produce` writes into a sink over the temporary
// file, which replaces `path` once produce returns. When produce throws, the temporary file is
// removed, `path` is left as it was and the error passes on.
void writeWholeFileFrom(const std::filesystem::path& path, const std::function<void(ByteSink&)>& produce);

// Creates the folder (and its parents) when missing; throws VeldrinError when it cannot.
void ensureFolder(const std::filesystem::path& folder);

// Removes the temporary files of whole-file writes in `folder` (".NAME.tmpPID") whose process is gone:
// what a run that was killed left behind. Files of running processes are left alone.
void removeAbandonedTemporaryFiles(const std::filesystem::path& folder);
// True when no process `pid` runs any more (another than this one): what it left behind may go.
bool processIsGone(long long pid);

} // namespace veldrin
