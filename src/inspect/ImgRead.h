#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin::inspect {

inline constexpr int64_t kSectorSize = 2048;
inline constexpr int64_t kEntrySize = 32; // offset, sectors, 24-byte name

// One entry of an archive's directory: where its bytes lie in the archive, in sectors.
struct ImgEntry {
    std::string name;
    uint32_t offset = 0;
    uint32_t sectors = 0;
};

// The entries of a headerless directory (.DIR beside an .IMG); its size must be a whole number of entries.
std::vector<ImgEntry> readDirEntries(std::span<const uint8_t> dir, const std::string& what);

// The entries of a "VER2" archive's own directory. `img` needs to hold the header and directory only.
std::vector<ImgEntry> readVer2Entries(std::span<const uint8_t> img, const std::string& what);

// Bytes a VER2 archive's header and directory take, from its first 8 bytes; 0 when they are not "VER2".
int64_t ver2HeaderSize(std::span<const uint8_t> first8);

bool startsVer2(std::span<const uint8_t> bytes);

// Refuses, with VeldrinError naming `what` and the entry, an entry that reaches past `archiveSize` bytes.
void checkEntriesInside(const std::vector<ImgEntry>& entries, int64_t archiveSize, const std::string& what);

// The whole sectors of one entry.
std::span<const uint8_t> entryBytes(std::span<const uint8_t> img, const ImgEntry& entry, const std::string& what);

} // namespace veldrin::inspect
