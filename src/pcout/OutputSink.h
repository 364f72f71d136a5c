#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "base/Editions.h"
#include "pcout/ImgArchive.h"

namespace veldrin {

// Where a run's converted files go, so the converters need not know whether an IMG archive is
// being built: either the level folder (one file each) or the archive under construction.
// Not synchronised: call it from one thread, in the order the results are committed.
class OutputSink {
public:
    enum class Mode { Files, Archive };

    OutputSink(std::filesystem::path levelFolder, Mode mode);

    Mode mode() const { return mode_; }
    const std::filesystem::path& levelFolder() const { return folder_; }
    const ImgArchive& archive() const { return archive_; }

    // One converted file: written as `fileName` in the level folder (created when missing), or added
    // to the archive as `entryName` (a TXD is "X.TXD" as a file but "X.txd" as an entry).
    void put(const std::string& fileName, const std::string& entryName, std::span<const uint8_t> bytes);

    // Ends the run's output. `blankCollision` is the blank collision stream when one was built.
    // Archive for GTA SA: the stream becomes the entry "<LEVEL>.COL", then "<LEVEL>.IMG" is written in
    // the VER2 layout. Archive for GTA 3 / GTA VC: "<LEVEL>.DIR", the stream as "<levelName>.col" and
    // "<LEVEL>.IMG". Files: the stream as "<levelName>.col". LEVEL is levelName in upper case.
    void finish(const std::string& levelName, TargetGame target,
                std::optional<std::span<const uint8_t>> blankCollision);

private:
    void ensureLevelFolder();
    void writeFile(const std::string& fileName, std::span<const uint8_t> bytes);

    std::filesystem::path folder_;
    Mode mode_;
    ImgArchive archive_;
    bool folderReady_ = false;
};

} // namespace veldrin
