#include "report/WrittenFiles.h"

#include <fstream>
#include <map>
#include <unordered_map>

#include "base/Error.h"
#include "base/FileIO.h"
#include "base/ParallelFor.h"
#include "inspect/ImgRead.h"
#include "report/Sha256.h"

namespace veldrin {
namespace {

using Archive = std::unordered_map<std::string, inspect::ImgEntry>; // an archive's entries by name

// `size` bytes from `offset` of a file.
std::vector<uint8_t> readFileRange(const std::filesystem::path& path, uint64_t offset, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(size);
    if (!in.seekg(static_cast<std::streamoff>(offset)) || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        throw VeldrinError(path.string() + " cannot be read back (" + std::to_string(size) + " bytes at " + std::to_string(offset) + ")");
    return bytes;
}

// Our own archive's directory read back through the reader kit, as any other reader of it would. The
// archive itself is not held: only the entries whose hashes are not known are read.
Archive readArchive(const std::filesystem::path& folder, const std::string& name) {
    const std::filesystem::path path = folder / name;
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(path, error);
    if (error) throw VeldrinError(name + " cannot be read back (" + error.message() + ")");
    const std::vector<uint8_t> first = readFileRange(path, 0, static_cast<std::size_t>(std::min<uint64_t>(size, 8)));
    const std::vector<inspect::ImgEntry> entries =
        inspect::startsVer2(first)
            ? inspect::readVer2Entries(readFileRange(path, 0, static_cast<std::size_t>(std::min<uint64_t>(size, inspect::ver2HeaderSize(first)))), name)
            : inspect::readDirEntries(readWholeFile(folder / (std::filesystem::path(name).stem().string() + ".DIR")), name);
    inspect::checkEntriesInside(entries, static_cast<int64_t>(size), name);
    Archive a;
    a.reserve(entries.size());
    for (const inspect::ImgEntry& e : entries) a.insert_or_assign(e.name, e);
    return a;
}

} // namespace

std::vector<RecordedFile> hashWrittenFiles(const std::filesystem::path& folder, const std::vector<WrittenFile>& files,
                                           int jobs, const std::unordered_map<std::string, std::string>& known) {
    std::map<std::string, Archive> archives;
    for (const WrittenFile& f : files)
        if (!f.archive.empty() && !archives.count(f.archive)) archives.emplace(f.archive, readArchive(folder, f.archive));

    std::vector<RecordedFile> recorded(files.size());
    std::vector<std::exception_ptr> errors;
    parallelFor(
        files.size(), jobs,
        [&](std::size_t i) {
            const WrittenFile& f = files[i];
            RecordedFile& r = recorded[i];
            r.name = f.name;
            r.bytes = static_cast<int64_t>(f.bytes);
            const auto hashed = known.find(f.name);
            if (f.archive.empty()) {
                // An archive is streamed through the hash, never held whole.
                uint64_t size = 0;
                if (hashed == known.end()) {
                    r.sha256 = sha256HexOfFile(folder / f.name, size);
                } else {
                    std::error_code error;
                    size = std::filesystem::file_size(folder / f.name, error);
                    if (error) throw VeldrinError(f.name + " cannot be read back (" + error.message() + ")");
                    r.sha256 = hashed->second;
                }
                if (size != f.bytes) {
                    throw VeldrinError(f.name + " holds " + std::to_string(size) + " bytes, not the " + std::to_string(f.bytes) +
                                       " written");
                }
                return;
            }
            r.archive = f.archive;
            const Archive& a = archives.at(f.archive);
            const auto entry = a.find(f.name);
            if (entry == a.end()) throw VeldrinError(f.name + " is not in the directory of " + f.archive);
            if (uint64_t(entry->second.sectors) * inspect::kSectorSize < f.bytes) throw VeldrinError(f.name + " is shorter in " + f.archive + " than written");
            r.sha256 = hashed != known.end()
                           ? hashed->second
                           : sha256Hex(readFileRange(folder / f.archive, uint64_t(entry->second.offset) * inspect::kSectorSize, f.bytes));
        },
        errors);
    rethrowFirst(errors);
    return recorded;
}

} // namespace veldrin
