#include "pcout/ImgFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include "base/Error.h"

namespace veldrin {

namespace {

// Entries queued beyond this wait for the writer, so a fast converter cannot pile the archive up in
// memory; one entry is always accepted, however large.
constexpr std::size_t kQueueLimit = 16u << 20;
// The writer is woken once this much waits, not for every entry: models of a few kilobytes each would
// otherwise cost a wake-up and a write call apiece, on a thread that competes with the converters.
constexpr std::size_t kWakeBytes = 1u << 20;

const uint8_t kZeros[kImgSectorSize] = {};

// Pieces handed to one pwritev call (the system's iovec limit is at least this).
constexpr std::size_t kPiecesPerCall = 1024;

std::filesystem::path temporaryPath(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    return folder / ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()));
}

std::size_t sectorPadding(uint64_t size) { return static_cast<std::size_t>((kImgSectorSize - size % kImgSectorSize) % kImgSectorSize); }

} // namespace

ImgFileWriter::ImgFileWriter(std::filesystem::path path, std::optional<int32_t> ver2Entries, DataWatcher watcher)
    : path_(std::move(path)), temp_(temporaryPath(path_)),
      headerSectors_(ver2Entries ? ver2HeaderSectors(std::max(*ver2Entries, 0)) : 0), watcher_(std::move(watcher)) {
    fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw VeldrinError("Cannot create file \"" + path_.string() + "\". " + std::strerror(errno));
    try {
        writer_ = std::thread([this] { writeQueued(); });
    } catch (...) {
        ::close(fd_);
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
        throw;
    }
}

ImgFileWriter::~ImgFileWriter() {
    if (!finished_) {
        // An abandoned archive is removed: what is still queued need not be written first.
        std::lock_guard lock(mutex_);
        for (const Pending& entry : queue_) queuedBytes_ -= entry.bytes->size();
        queue_.clear();
    }
    stopWriter();
    if (fd_ >= 0) ::close(fd_);
    if (!finished_) {
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

void ImgFileWriter::stopWriter() {
    if (!writer_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void ImgFileWriter::writeAt(uint64_t position, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd_, data, size, static_cast<off_t>(position));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            throw VeldrinError("Cannot write file \"" + path_.string() + "\". " +
                               (written < 0 ? std::strerror(errno) : "Nothing was written"));
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        position += static_cast<uint64_t>(written);
    }
}

// Writes queued entries, each followed by its zero padding, with as few calls as the iovec limit
// allows: the entries of a batch lie one after the other in the file.
void ImgFileWriter::writeBatch(const std::deque<Pending>& batch) {
    std::vector<iovec> pieces;
    uint64_t position = 0, end = 0;
    const auto flush = [&] {
        ssize_t written = -1;
        do {
            written = ::pwritev(fd_, pieces.data(), static_cast<int>(pieces.size()), static_cast<off_t>(position));
        } while (written < 0 && errno == EINTR);
        if (written < 0) throw VeldrinError("Cannot write file \"" + path_.string() + "\". " + std::strerror(errno));
        // A short write finishes piece by piece.
        std::size_t done = static_cast<std::size_t>(written);
        uint64_t at = position;
        for (const iovec& piece : pieces) {
            const std::size_t skip = std::min(done, piece.iov_len);
            done -= skip;
            if (skip < piece.iov_len) writeAt(at + skip, static_cast<const uint8_t*>(piece.iov_base) + skip, piece.iov_len - skip);
            at += piece.iov_len;
        }
        pieces.clear();
    };
    for (const Pending& entry : batch) {
        const std::size_t padding = entry.padding;
        if (!pieces.empty() && (entry.position != end || pieces.size() + 2 > kPiecesPerCall)) flush();
        if (pieces.empty()) position = entry.position;
        const std::vector<uint8_t>& bytes = *entry.bytes;
        if (!bytes.empty()) pieces.push_back({const_cast<uint8_t*>(bytes.data()), bytes.size()});
        if (padding > 0) pieces.push_back({const_cast<uint8_t*>(kZeros), padding});
        end = entry.position + bytes.size() + padding;
        if (watcher_) {
            watcher_(bytes);
            watcher_({kZeros, padding});
        }
    }
    if (!pieces.empty()) flush();
}

// The writer thread: what is queued, in the order it was queued, a batch at a time. After a failure it
// only drains the queue; the caller hears of the failure at its next call.
void ImgFileWriter::writeQueued() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return closing_ || waitingBytes_ >= kWakeBytes; });
        if (queue_.empty()) return;
        std::deque<Pending> batch;
        batch.swap(queue_);
        waitingBytes_ = 0;
        const bool failed = !failure_.empty();
        lock.unlock();
        std::string error;
        if (!failed) {
            try {
                writeBatch(batch);
            } catch (const VeldrinError& e) {
                error = e.what();
            }
        }
        std::size_t size = 0;
        for (const Pending& entry : batch) size += entry.bytes->size();
        batch.clear();
        lock.lock();
        if (!error.empty() && failure_.empty()) failure_ = error;
        queuedBytes_ -= size;
        changed_.notify_all();
    }
}

void ImgFileWriter::requireOpen() {
    if (finished_) throw VeldrinError("The IMG archive \"" + path_.string() + "\" is already complete");
    throwIfFailed();
}

void ImgFileWriter::throwIfFailed() {
    std::lock_guard lock(mutex_);
    if (!failure_.empty()) throw VeldrinError(failure_);
}

void ImgFileWriter::queue(Pending pending) {
    const std::size_t size = pending.bytes->size();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queuedBytes_ < kQueueLimit || !failure_.empty(); });
    if (!failure_.empty()) throw VeldrinError(failure_);
    queuedBytes_ += size;
    const bool wake = waitingBytes_ < kWakeBytes && waitingBytes_ + size >= kWakeBytes;
    waitingBytes_ += size;
    queue_.push_back(std::move(pending));
    lock.unlock();
    if (wake) changed_.notify_all();
}

void ImgFileWriter::addEntry(std::string_view name, std::vector<uint8_t> bytes) {
    addEntry(name, std::make_shared<const std::vector<uint8_t>>(std::move(bytes)));
}

void ImgFileWriter::addEntry(std::string_view name, std::shared_ptr<const std::vector<uint8_t>> bytes) {
    requireOpen();
    const uint64_t sector = headerSectors_ + uint64_t{directory_.add(name, bytes->size())};
    const std::size_t padding = sectorPadding(bytes->size());
    queue(Pending{sector * kImgSectorSize, std::move(bytes), padding});
}

// An entry's bytes as they are produced: whole pieces are queued at their place in the file; a size
// field set afterwards is changed in the piece at hand, or written again over a queued one (the queue
// is written in order, so the change lands after the bytes it replaces).
class ImgFileWriter::EntrySink final : public ByteSink {
public:
    EntrySink(ImgFileWriter& archive, uint64_t start) : archive_(archive), start_(start) { piece_.reserve(kPieceBytes); }

    void write(std::span<const uint8_t> bytes) override {
        piece_.insert(piece_.end(), bytes.begin(), bytes.end());
        if (piece_.size() >= kPieceBytes) queuePiece(0);
    }
    int64_t size() const override { return static_cast<int64_t>(queued_ + piece_.size()); }
    void overwrite(int64_t at, std::span<const uint8_t> bytes) override {
        const uint64_t from = static_cast<uint64_t>(at);
        if (from + bytes.size() > queued_ + piece_.size()) throw VeldrinError("An IMG entry was changed past its end");
        const std::size_t inQueued = from < queued_ ? static_cast<std::size_t>(std::min<uint64_t>(queued_ - from, bytes.size())) : 0;
        if (inQueued > 0) {
            archive_.queue(Pending{start_ + from, std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(inQueued)), 0});
        }
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(inQueued), bytes.end(),
                  piece_.begin() + static_cast<std::ptrdiff_t>(from + inQueued - queued_));
    }

    // The last piece, with the padding that ends the entry on a sector. Returns the entry's size.
    uint64_t finish() {
        const uint64_t total = queued_ + piece_.size();
        if (total > 0) queuePiece(sectorPadding(total));
        return total;
    }

private:
    static constexpr std::size_t kPieceBytes = 1u << 20;

    void queuePiece(std::size_t padding) {
        const std::size_t size = piece_.size();
        archive_.queue(Pending{start_ + queued_, std::make_shared<const std::vector<uint8_t>>(std::move(piece_)), padding});
        queued_ += size;
        piece_ = {};
        piece_.reserve(kPieceBytes);
    }

    ImgFileWriter& archive_;
    uint64_t start_;
    uint64_t queued_ = 0; // bytes of the entry handed to the writer
    std::vector<uint8_t> piece_;
};

uint64_t ImgFileWriter::addEntryFrom(std::string_view name, const std::function<void(ByteSink&)>& produce) {
    if (watcher_) {
        // The watcher sees the file in order, which a size field written again would break.
        std::vector<uint8_t> bytes;
        VectorSink sink(bytes);
        produce(sink);
        const uint64_t size = bytes.size();
        addEntry(name, std::move(bytes));
        return size;
    }
    requireOpen();
    // The entry starts after the last one; its directory line is made once its size is known. Should it
    // fail half way, the next entry takes its place and finish() cuts the file to the directory's end.
    const uint64_t sector = headerSectors_ + directory_.dataSectors();
    EntrySink sink(*this, sector * kImgSectorSize);
    produce(sink);
    const uint64_t size = sink.finish();
    directory_.add(name, size);
    return size;
}

// Puts the header (empty for the split layout) in the room kept for it, or, when it needs another
// number of sectors, writes header and data anew to a second temporary file that takes the first's place.
void ImgFileWriter::placeHeader(const std::vector<uint8_t>& header) {
    const uint64_t dataBytes = directory_.dataSectors() * kImgSectorSize;
    if (header.size() == uint64_t{headerSectors_} * kImgSectorSize) {
        writeAt(0, header.data(), header.size());
        return;
    }
    const std::filesystem::path moved = temp_.string() + "m";
    const int to = ::open(moved.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (to < 0) throw VeldrinError("Cannot create file \"" + path_.string() + "\". " + std::strerror(errno));
    const int from = fd_;
    fd_ = to;
    try {
        writeAt(0, header.data(), header.size());
        std::vector<uint8_t> chunk(1u << 20);
        for (uint64_t copied = 0; copied < dataBytes;) {
            const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(chunk.size(), dataBytes - copied));
            const ssize_t got = ::pread(from, chunk.data(), want, static_cast<off_t>(headerSectors_ * kImgSectorSize + copied));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                throw VeldrinError("Cannot write file \"" + path_.string() + "\". " +
                                   (got < 0 ? std::strerror(errno) : "The archive data ended early"));
            }
            writeAt(header.size() + copied, chunk.data(), static_cast<std::size_t>(got));
            copied += static_cast<uint64_t>(got);
        }
    } catch (...) {
        ::close(to);
        fd_ = from;
        std::error_code ignored;
        std::filesystem::remove(moved, ignored);
        throw;
    }
    ::close(from);
    std::error_code ec;
    std::filesystem::rename(moved, temp_, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(moved, ignored);
        throw VeldrinError("Cannot create file \"" + path_.string() + "\". " + ec.message());
    }
}

ImgFileWriter::Finished ImgFileWriter::finish(Layout layout) {
    if (finished_) throw VeldrinError("The IMG archive \"" + path_.string() + "\" is already complete");
    stopWriter();
    throwIfFailed();
    Finished done;
    const std::vector<uint8_t> header = layout == Layout::Ver2 ? directory_.ver2Header() : std::vector<uint8_t>{};
    placeHeader(header);
    if (layout == Layout::Split) done.directory = directory_.bytes();
    done.fileBytes = header.size() + directory_.dataSectors() * kImgSectorSize;
    // Entries end with their padding, but an empty archive has no entry to give the file its size.
    if (::ftruncate(fd_, static_cast<off_t>(done.fileBytes)) != 0 || ::close(fd_) != 0) {
        fd_ = -1;
        throw VeldrinError("Cannot write file \"" + path_.string() + "\". " + std::strerror(errno));
    }
    fd_ = -1;
    std::error_code ec;
    std::filesystem::rename(temp_, path_, ec);
    if (ec) throw VeldrinError("Cannot create file \"" + path_.string() + "\". " + ec.message());
    finished_ = true;
    return done;
}

} // namespace veldrin
