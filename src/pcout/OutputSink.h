#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteSink.h"
#include "base/Editions.h"
#include "pcout/ImgFileWriter.h"

namespace veldrin {

// One file a run wrote: a loose file of the level folder (archive empty) or an entry of the archive
// file named `archive` ("TOWN.IMG"). Archive files themselves are loose files of the record too.
struct WrittenFile {
    std::string name;
    uint64_t bytes = 0;
    std::string archive;
};

// The one gate every file of a run goes through, so the converters need not know whether an IMG
// archive is being built: either the level folder (one file each) or the archive under construction.
// It keeps the record of what it wrote, in order, for the summary and the report. The archive streams
// to disk as entries arrive (ImgFileWriter) and appears under its name only when finished: a run that
// fails or stops leaves no archive behind.
// Not synchronised: call it from one thread, in the order the results are committed.
class OutputSink {
public:
    enum class Mode { Files, Archive };

    // `levelName` names the archive ("<LEVEL>.IMG", LEVEL in upper case) and the loose collision file.
    OutputSink(std::filesystem::path levelFolder, std::string levelName, Mode mode);

    Mode mode() const { return mode_; }
    const std::filesystem::path& levelFolder() const { return folder_; }
    const std::vector<WrittenFile>& written() const { return written_; }

    // The target game and the number of entries the run plans for the archive (Archive mode; call it
    // before the first put): a GTA SA archive then keeps room for its directory at the start and needs
    // no moving at the end when the count comes out as planned.
    void planArchive(TargetGame target, int32_t plannedEntries);

    // The archive's file name, "<LEVEL>.IMG".
    std::string archiveFileName() const;

    // Archive mode, before the first put, for the target finish() will get: `watcher` sees every byte
    // of the archive file in order, on the archive's writer thread, as it is written. Refused (false)
    // for a GTA SA archive, whose header is written last.
    bool watchArchive(TargetGame target, std::function<void(std::span<const uint8_t>)> watcher);

    // One converted file: written as `fileName` in the level folder (created when missing), or added
    // to the archive as `entryName` (a TXD is "X.TXD" as a file but "X.txd" as an entry).
    void put(const std::string& fileName, const std::string& entryName, std::vector<uint8_t> bytes);
    // Bytes the caller keeps too: the archive holds them without a copy until they are written.
    void put(const std::string& fileName, const std::string& entryName, std::shared_ptr<const std::vector<uint8_t>> bytes);
    void put(const std::string& fileName, const std::string& entryName, std::span<const uint8_t> bytes) {
        put(fileName, entryName, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    // The same for a file that `produce` writes piece by piece: a loose file or an archive entry is
    // written as it comes, never held whole.
    void putFrom(const std::string& fileName, const std::string& entryName,
                 const std::function<void(ByteSink&)>& produce);
    // A file that is loose in every mode (the IDE and IPL text).
    void putLoose(const std::string& fileName, std::span<const uint8_t> bytes);
    void putLoose(const std::string& fileName, std::string_view text);

    // Ends the run's output. `blankCollision` is the blank collision stream when one was built: in
    // Files mode it becomes "<levelName>.col". In Archive mode, as finishImg ends an archive: for GTA SA
    // the stream becomes the entry "<LEVEL>.COL" of the VER2 "<LEVEL>.IMG"; for GTA 3 and GTA VC come
    // "<LEVEL>.DIR", the stream as "<levelName>.col", and the headerless "<LEVEL>.IMG".
    void finish(TargetGame target, std::optional<std::span<const uint8_t>> blankCollision);

private:
    void writeFile(const std::string& fileName, std::span<const uint8_t> bytes);
    void ensureLevelFolder();
    ImgFileWriter& archive();

    std::filesystem::path folder_;
    std::string levelName_;
    Mode mode_;
    std::function<void(std::span<const uint8_t>)> watcher_;
    std::optional<int32_t> ver2Entries_;
    std::unique_ptr<ImgFileWriter> archive_;
    std::vector<WrittenFile> written_;
    bool folderReady_ = false;
};

} // namespace veldrin
