#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Editions.h"

namespace veldrin {

inline constexpr std::size_t kImgSectorSize = 2048;
inline constexpr std::size_t kImgDirectoryEntrySize = 32;
inline constexpr std::size_t kImgNameSize = 24;

// The directory of an IMG archive: 32-byte entries (sector offset counted from the first data sector,
// sector count, 24-byte name), each entry starting on a 2048-byte sector and padded to whole sectors.
class ImgDirectory {
public:
    // Appends an entry of `size` bytes after the last one and returns its sector offset. The name (file
    // name with extension) fills the 24-byte name field, without a terminator when it is exactly 24
    // bytes long; a longer name, or an archive past its size limit, is refused with VeldrinError.
    uint32_t add(std::string_view name, uint64_t size);

    int32_t count() const { return count_; }
    uint64_t dataSectors() const { return sectors_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    // The start of a GTA SA archive: "VER2", the entry count and the directory with every offset moved
    // by the sectors this header takes, zero-padded to ver2HeaderSectors(count()) sectors.
    std::vector<uint8_t> ver2Header() const;

private:
    std::vector<uint8_t> bytes_;
    uint64_t sectors_ = 0;
    int32_t count_ = 0;
};

// An IMG archive as it grows during a run: the entries' data, each starting on a 2048-byte sector
// and padded to whole sectors, and a directory of 32-byte entries (sector offset, sector count,
// 24-byte name). Keeps the two in step.
class ImgArchive {
public:
    // Appends one entry. The name (file name with extension) fills the 24-byte name field, without a
    // terminator when it is exactly 24 bytes long; a longer name is refused with VeldrinError.
    void addEntry(std::string_view name, std::span<const uint8_t> bytes);

    int32_t entryCount() const { return directory_.count(); }
    // count x 32 bytes, offsets counted in sectors from the first byte of data().
    const std::vector<uint8_t>& directory() const { return directory_.bytes(); }
    const std::vector<uint8_t>& data() const { return data_; }

    // GTA 3 and GTA VC read the directory (.DIR) and the data (.IMG) as two files, both headerless.
    struct SplitFiles {
        std::vector<uint8_t> directory;
        std::vector<uint8_t> data;
    };
    SplitFiles finishSplit() &&;

    // GTA SA reads one file: "VER2", the entry count and the directory in whole sectors at its start,
    // then the data, with every offset moved by the sectors that header takes.
    std::vector<uint8_t> finishVer2() const;

private:
    std::vector<uint8_t> data_;
    ImgDirectory directory_;
};

// Sectors a VER2 header with `count` entries takes: room for 8 header bytes and the directory.
uint32_t ver2HeaderSectors(int32_t count);

// One whole output file: its plain name and its bytes.
struct OutputFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Ends an archive for the target game, in the order the files are to be written. GTA SA: `collision`
// (when given) becomes the entry "<BASE>.COL", then "<BASE>.IMG" in the VER2 layout. GTA 3 and GTA VC:
// "<BASE>.DIR", `collision` as the loose file `looseCollisionName`, then "<BASE>.IMG". BASE is
// `upperBaseName` as given. The level run and the collision map converter both end their archives here.
std::vector<OutputFile> finishImg(ImgArchive&& archive, const std::string& upperBaseName, TargetGame target,
                                  std::optional<std::span<const uint8_t>> collision,
                                  const std::string& looseCollisionName);

} // namespace veldrin
