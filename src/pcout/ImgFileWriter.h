#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/ByteSink.h"
#include "pcout/ImgArchive.h"

namespace veldrin {

// An IMG archive written to its file as the entries arrive, by a thread of its own, so writing
// overlaps converting and the archive is never held in memory whole. The file keeps a temporary name
// in the same folder until finish() renames it: a run that fails or stops leaves no archive behind.
// Entries are laid out exactly as ImgArchive lays them out; call it from one thread.
class ImgFileWriter {
public:
    enum class Layout {
        Split, // GTA 3 and GTA VC: headerless data; the directory goes to a DIR file of its own
        Ver2,  // GTA SA: "VER2", the count and the directory in whole sectors at the start of the file
    };

    // `ver2Entries`: keep room at the start for a VER2 directory of that many entries (the count the run
    // planned). When finish() needs a header of another size (entries skipped, or no VER2 layout after
    // all), the data is moved once to make it fit.
    // `watcher`: sees every byte of the data (the entries and their padding) in file order, on the
    // writer thread, as it is written; a split archive's file is that data alone.
    using DataWatcher = std::function<void(std::span<const uint8_t>)>;
    explicit ImgFileWriter(std::filesystem::path path, std::optional<int32_t> ver2Entries = std::nullopt, DataWatcher watcher = {});
    ~ImgFileWriter();
    ImgFileWriter(const ImgFileWriter&) = delete;
    ImgFileWriter& operator=(const ImgFileWriter&) = delete;

    // Queues one entry for the writer thread; waits while the queue holds more than a few megabytes.
    // Refuses (VeldrinError) the names and sizes ImgArchive refuses, and reports a failed write.
    void addEntry(std::string_view name, std::vector<uint8_t> bytes);
    // The same for bytes the caller keeps too (a dictionary the report reads afterwards).
    void addEntry(std::string_view name, std::shared_ptr<const std::vector<uint8_t>> bytes);

    // Queues one entry as `produce` writes it, a piece at a time, so a large entry (a level's one texture
    // dictionary) is never held whole; the same refusals as addEntry, once the entry is complete. Without
    // a watcher only: a watched archive takes the entry whole. Returns the entry's size.
    uint64_t addEntryFrom(std::string_view name, const std::function<void(ByteSink&)>& produce);

    int32_t entryCount() const { return directory_.count(); }

    struct Finished {
        std::vector<uint8_t> directory; // Split: the DIR file's bytes; Ver2: empty
        uint64_t fileBytes = 0;         // size of the archive file
    };
    // Writes what is still queued and, for VER2, the header; then gives the file its name.
    Finished finish(Layout layout);

private:
    struct Pending {
        uint64_t position = 0; // byte offset in the file
        std::shared_ptr<const std::vector<uint8_t>> bytes;
        std::size_t padding = 0; // zeros after the bytes: an entry's last piece ends on a sector
    };
    class EntrySink;

    void queue(Pending pending);
    void writeQueued();
    void writeBatch(const std::deque<Pending>& batch);
    void requireOpen(); // refuses an entry once finished, or after a failed write
    void throwIfFailed();
    void stopWriter();
    void writeAt(uint64_t position, const uint8_t* data, std::size_t size);
    void placeHeader(const std::vector<uint8_t>& header);

    std::filesystem::path path_;
    std::filesystem::path temp_;
    uint32_t headerSectors_ = 0; // sectors kept before the first entry
    DataWatcher watcher_;
    ImgDirectory directory_;
    int fd_ = -1;
    bool finished_ = false;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending> queue_;
    std::size_t queuedBytes_ = 0;
    std::size_t waitingBytes_ = 0; // of them, not yet taken by the writer
    bool closing_ = false;
    std::string failure_; // the first write error, reported to the caller
    std::thread writer_;
};

} // namespace veldrin
