#include "inspect/ImgRead.h"

#include <cstring>

#include "base/ByteReader.h"
#include "base/Error.h"

namespace veldrin::inspect {

namespace {

std::vector<ImgEntry> readEntries(const ByteReader& r, int64_t from, int64_t count) {
    r.require(from, count * kEntrySize, "directory");
    std::vector<ImgEntry> entries;
    for (int64_t i = 0, at = from; i < count; ++i, at += kEntrySize) {
        ImgEntry e;
        e.offset = r.u32(at);
        e.sectors = r.u32(at + 4);
        const auto field = r.slice(at + 8, 24, "entry name");
        const char* name = reinterpret_cast<const char*>(field.data());
        e.name.assign(name, strnlen(name, field.size()));
        entries.push_back(std::move(e));
    }
    return entries;
}

} // namespace

bool startsVer2(std::span<const uint8_t> bytes) { return bytes.size() >= 4 && std::memcmp(bytes.data(), "VER2", 4) == 0; }

int64_t ver2HeaderSize(std::span<const uint8_t> first8) {
    if (first8.size() < 8 || !startsVer2(first8)) return 0;
    return 8 + int64_t(loadU32(first8.data() + 4)) * kEntrySize;
}

std::vector<ImgEntry> readDirEntries(std::span<const uint8_t> dir, const std::string& what) {
    if (dir.size() % kEntrySize != 0) {
        throw VeldrinError(what + ": " + std::to_string(dir.size()) + " bytes is not a whole number of " +
                           std::to_string(kEntrySize) + "-byte directory entries");
    }
    return readEntries(ByteReader(dir, what), 0, int64_t(dir.size()) / kEntrySize);
}

std::vector<ImgEntry> readVer2Entries(std::span<const uint8_t> img, const std::string& what) {
    const ByteReader r(img, what);
    if (!startsVer2(img)) throw VeldrinError(what + ": does not open with VER2");
    const int64_t count = r.u32(4, "entry count");
    return readEntries(r, 8, count);
}

void checkEntriesInside(const std::vector<ImgEntry>& entries, int64_t archiveSize, const std::string& what) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ImgEntry& e = entries[i];
        const int64_t end = (int64_t(e.offset) + int64_t(e.sectors)) * kSectorSize;
        if (end > archiveSize) {
            throw VeldrinError(what + ": entry " + std::to_string(i) + " \"" + e.name + "\" (sectors " + std::to_string(e.offset) +
                               " to " + std::to_string(int64_t(e.offset) + e.sectors) + ") ends at byte " + std::to_string(end) +
                               ", past the archive's " + std::to_string(archiveSize) + " bytes");
        }
    }
}

std::span<const uint8_t> entryBytes(std::span<const uint8_t> img, const ImgEntry& entry, const std::string& what) {
    return ByteReader(img, what).slice(int64_t(entry.offset) * kSectorSize, int64_t(entry.sectors) * kSectorSize, "entry " + entry.name);
}

} // namespace veldrin::inspect
