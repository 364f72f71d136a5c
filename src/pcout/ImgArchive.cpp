#include "pcout/ImgArchive.h"

#include <cstring>
#include <limits>
#include <string>

#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/Error.h"

namespace veldrin {

namespace {

constexpr uint64_t kMaxSectors = std::numeric_limits<uint32_t>::max();
constexpr uint32_t kMaxVer2EntrySectors = std::numeric_limits<uint16_t>::max();

void writeDirectoryEntry(uint8_t* at, uint32_t offset, uint32_t sectors, std::span<const uint8_t> name) {
    std::vector<uint8_t> entry;
    ByteWriter w(entry);
    w.u32(offset);
    w.u32(sectors);
    w.bytes(name);
    w.zeros(kImgDirectoryEntrySize - entry.size());
    std::memcpy(at, entry.data(), kImgDirectoryEntrySize);
}

} // namespace

uint32_t ver2HeaderSectors(int32_t count) {
    return static_cast<uint32_t>((static_cast<uint64_t>(count) * kImgDirectoryEntrySize + 8) / kImgSectorSize + 1);
}

uint32_t ImgDirectory::add(std::string_view name, uint64_t size) {
    if (name.size() > kImgNameSize) {
        throw VeldrinError("Cannot add \"" + std::string(name) + "\" to the IMG archive: entry names are limited to " +
                           std::to_string(kImgNameSize) + " characters");
    }
    if (count_ == std::numeric_limits<int32_t>::max()) throw VeldrinError("The IMG archive cannot hold more entries");
    const uint64_t sectors = (size + kImgSectorSize - 1) / kImgSectorSize;
    const uint64_t offset = sectors_;
    if (offset + sectors > kMaxSectors) {
        throw VeldrinError("Cannot add \"" + std::string(name) + "\" to the IMG archive: the archive would exceed its size limit");
    }
    bytes_.resize(bytes_.size() + kImgDirectoryEntrySize);
    writeDirectoryEntry(bytes_.data() + static_cast<std::size_t>(count_) * kImgDirectoryEntrySize,
                        static_cast<uint32_t>(offset), static_cast<uint32_t>(sectors),
                        std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()));
    sectors_ += sectors;
    ++count_;
    return static_cast<uint32_t>(offset);
}

std::vector<uint8_t> ImgDirectory::ver2Header() const {
    const uint32_t headerSectors = ver2HeaderSectors(count_);
    if (headerSectors + sectors_ > kMaxSectors) throw VeldrinError("The IMG archive exceeds its size limit");
    std::vector<uint8_t> header(static_cast<std::size_t>(headerSectors) * kImgSectorSize, 0);
    std::memcpy(header.data(), "VER2", 4);
    ByteWriter count;
    count.u32(static_cast<uint32_t>(count_));
    std::memcpy(header.data() + 4, count.data().data(), 4);
    for (int32_t i = 0; i < count_; ++i) {
        const uint8_t* entry = bytes_.data() + static_cast<std::size_t>(i) * kImgDirectoryEntrySize;
        // VER2 keeps an entry's sector count in 16 bits.
        if (loadU32(entry + 4) > kMaxVer2EntrySectors) {
            const std::string name(reinterpret_cast<const char*>(entry + 8), strnlen(reinterpret_cast<const char*>(entry + 8), kImgNameSize));
            throw VeldrinError("Cannot put \"" + name + "\" into a VER2 IMG archive: an entry holds at most " +
                               std::to_string(kMaxVer2EntrySectors) + " sectors, it needs " + std::to_string(loadU32(entry + 4)));
        }
        writeDirectoryEntry(header.data() + 8 + static_cast<std::size_t>(i) * kImgDirectoryEntrySize,
                            loadU32(entry) + headerSectors, loadU32(entry + 4), std::span(entry + 8, kImgNameSize));
    }
    return header;
}

void ImgArchive::addEntry(std::string_view name, std::span<const uint8_t> bytes) {
    directory_.add(name, bytes.size());
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    data_.resize(static_cast<std::size_t>(directory_.dataSectors() * kImgSectorSize), 0);
}

ImgArchive::SplitFiles ImgArchive::finishSplit() && {
    SplitFiles files{directory_.bytes(), std::move(data_)};
    directory_ = ImgDirectory{};
    data_.clear();
    return files;
}

std::vector<uint8_t> ImgArchive::finishVer2() const {
    std::vector<uint8_t> file = directory_.ver2Header();
    file.insert(file.end(), data_.begin(), data_.end());
    return file;
}

std::vector<OutputFile> finishImg(ImgArchive&& archive, const std::string& upperBaseName, TargetGame target,
                                  std::optional<std::span<const uint8_t>> collision,
                                  const std::string& looseCollisionName) {
    std::vector<OutputFile> files;
    const auto bytesOf = [](std::span<const uint8_t> s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    if (target == TargetGame::GtaSa) {
        if (collision) archive.addEntry(upperBaseName + ".COL", *collision);
        files.push_back({upperBaseName + ".IMG", archive.finishVer2()});
        return files;
    }
    ImgArchive::SplitFiles split = std::move(archive).finishSplit();
    files.push_back({upperBaseName + ".DIR", std::move(split.directory)});
    if (collision) files.push_back({looseCollisionName, bytesOf(*collision)});
    files.push_back({upperBaseName + ".IMG", std::move(split.data)});
    return files;
}

} // namespace veldrin
