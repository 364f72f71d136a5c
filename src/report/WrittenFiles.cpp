#include "report/WrittenFiles.h"

#include <map>

#include "base/Error.h"
#include "base/FileIO.h"
#include "base/ParallelFor.h"
#include "inspect/ImgRead.h"
#include "report/Sha256.h"

namespace veldrin {
namespace {

struct Archive {
    std::vector<uint8_t> bytes;
    std::map<std::string, std::span<const uint8_t>> entries; // whole sectors, as the directory gives them
};

// Our own archive read back through the reader kit, as any other reader of it would.
Archive readArchive(const std::filesystem::path& folder, const std::string& name) {
    Archive a;
    a.bytes = readWholeFile(folder / name);
    const std::vector<inspect::ImgEntry> entries =
        inspect::startsVer2(a.bytes)
            ? inspect::readVer2Entries(a.bytes, name)
            : inspect::readDirEntries(readWholeFile(folder / (std::filesystem::path(name).stem().string() + ".DIR")), name);
    for (const inspect::ImgEntry& e : entries) a.entries[e.name] = inspect::entryBytes(a.bytes, e, name);
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
            std::span<const uint8_t> bytes;
            std::vector<uint8_t> loose;
            std::size_t size = 0;
            if (f.archive.empty()) {
                const auto found = archives.find(f.name); // an archive is read once
                if (found != archives.end()) bytes = found->second.bytes;
                else if (hashed == known.end()) bytes = loose = readWholeFile(folder / f.name);
                std::error_code error;
                size = bytes.data() || hashed == known.end() ? bytes.size() : std::filesystem::file_size(folder / f.name, error);
                if (error) throw VeldrinError(f.name + " cannot be read back (" + error.message() + ")");
                if (size != f.bytes) {
                    throw VeldrinError(f.name + " holds " + std::to_string(size) + " bytes, not the " + std::to_string(f.bytes) +
                                       " written");
                }
            } else {
                r.archive = f.archive;
                const Archive& a = archives.at(f.archive);
                const auto entry = a.entries.find(f.name);
                if (entry == a.entries.end()) throw VeldrinError(f.name + " is not in the directory of " + f.archive);
                if (entry->second.size() < f.bytes) throw VeldrinError(f.name + " is shorter in " + f.archive + " than written");
                bytes = entry->second.first(f.bytes);
            }
            r.sha256 = hashed != known.end() ? hashed->second : sha256Hex(bytes);
        },
        errors);
    rethrowFirst(errors);
    return recorded;
}

} // namespace veldrin
