#include "report/WrittenFiles.h"

#include <cstring>
#include <map>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/ParallelFor.h"
#include "pcout/ImgArchive.h"
#include "report/Sha256.h"

namespace veldrin {
namespace {

struct Archive {
    std::vector<uint8_t> bytes;
    std::map<std::string, std::span<const uint8_t>> entries; // whole sectors, as the directory gives them
};

Archive readArchive(const std::filesystem::path& folder, const std::string& name) {
    Archive a;
    a.bytes = readWholeFile(folder / name);
    std::vector<uint8_t> split;
    std::span<const uint8_t> directory;
    if (a.bytes.size() >= 8 && std::memcmp(a.bytes.data(), "VER2", 4) == 0) {
        const uint64_t count = loadU32(a.bytes.data() + 4);
        if (8 + count * kImgDirectoryEntrySize > a.bytes.size()) throw VeldrinError(name + ": its directory runs past the file");
        directory = std::span<const uint8_t>(a.bytes).subspan(8, count * kImgDirectoryEntrySize);
    } else {
        const std::filesystem::path dir = folder / (std::filesystem::path(name).stem().string() + ".DIR");
        split = readWholeFile(dir);
        directory = split;
    }
    const ByteReader img(a.bytes, name);
    for (std::size_t at = 0; at + kImgDirectoryEntrySize <= directory.size(); at += kImgDirectoryEntrySize) {
        const uint8_t* e = directory.data() + at;
        const char* field = reinterpret_cast<const char*>(e + 8);
        const std::string entry(field, strnlen(field, kImgNameSize));
        const int64_t offset = int64_t(loadU32(e)) * int64_t(kImgSectorSize), size = int64_t(loadU32(e + 4)) * int64_t(kImgSectorSize);
        a.entries[entry] = img.slice(offset, size, "entry " + entry);
    }
    return a;
}

} // namespace

std::vector<RecordedFile> hashWrittenFiles(const std::filesystem::path& folder, const std::vector<WrittenFile>& files,
                                           int jobs) {
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
            std::span<const uint8_t> bytes;
            std::vector<uint8_t> loose;
            if (f.archive.empty()) {
                const auto found = archives.find(f.name); // an archive is read once
                if (found != archives.end()) bytes = found->second.bytes;
                else bytes = loose = readWholeFile(folder / f.name);
                if (bytes.size() != f.bytes) {
                    throw VeldrinError(f.name + " holds " + std::to_string(bytes.size()) + " bytes, not the " +
                                       std::to_string(f.bytes) + " written");
                }
            } else {
                r.archive = f.archive;
                const Archive& a = archives.at(f.archive);
                const auto entry = a.entries.find(f.name);
                if (entry == a.entries.end()) throw VeldrinError(f.name + " is not in the directory of " + f.archive);
                if (entry->second.size() < f.bytes) throw VeldrinError(f.name + " is shorter in " + f.archive + " than written");
                bytes = entry->second.first(f.bytes);
            }
            r.sha256 = sha256Hex(bytes);
        },
        errors);
    rethrowFirst(errors);
    return recorded;
}

} // namespace veldrin
