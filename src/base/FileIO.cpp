#include "base/FileIO.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

#include "base/Error.h"

namespace veldrin {

namespace fs = std::filesystem;

std::vector<uint8_t> readWholeFile(const fs::path& path, std::size_t spare) {
    // A folder opens as a stream on some systems and reports a size no buffer can take.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) throw VeldrinError(path.string() + ": no such file");
    if (fs::is_directory(status)) throw VeldrinError(path.string() + ": is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw VeldrinError("Cannot open file \"" + path.string() + "\". " + std::strerror(errno));
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0) throw VeldrinError("Cannot open file \"" + path.string() + "\". Not a regular file");
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size) + spare);
    bytes.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        throw VeldrinError("Cannot read file \"" + path.string() + "\". " + std::strerror(errno));
    }
    return bytes;
}

std::optional<std::string> inputFileProblem(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return path.string() + ": no such file";
    if (fs::is_directory(status)) return path.string() + ": is a folder";
    if (fs::is_regular_file(status) && fs::file_size(path, ec) == 0 && !ec) return path.string() + ": is empty";
    return std::nullopt;
}

void requireInputFile(const fs::path& path) {
    if (const auto problem = inputFileProblem(path)) throw VeldrinError(*problem);
}

namespace {

fs::path temporaryPathFor(const fs::path& path) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    return folder / ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()));
}

// Creates the temporary file afresh, never through what already stands at its name: a link planted
// there would otherwise have the file it points to overwritten. What stands there is only a name of
// ours (this process's temporary), so it is unlinked, which never touches a link's target.
std::FILE* createTemporaryFile(const fs::path& temp, const fs::path& path) {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temp.c_str(), kFlags, 0666);
    if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) fd = ::open(temp.c_str(), kFlags, 0666);
    if (fd < 0) throw VeldrinError("Cannot create file \"" + path.string() + "\". " + std::strerror(errno));
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        throw VeldrinError("Cannot create file \"" + path.string() + "\". " + std::strerror(error));
    }
    return file;
}

// The temporary file under a whole-file write; removed unless committed.
class TemporaryFileSink final : public ByteSink {
public:
    explicit TemporaryFileSink(const fs::path& path)
        : path_(path), temp_(temporaryPathFor(path)), out_(createTemporaryFile(temp_, path)) {}
    ~TemporaryFileSink() override {
        if (committed_) return;
        if (out_) std::fclose(out_);
        std::error_code ignored;
        fs::remove(temp_, ignored);
    }
    TemporaryFileSink(const TemporaryFileSink&) = delete;
    TemporaryFileSink& operator=(const TemporaryFileSink&) = delete;

    void write(std::span<const uint8_t> bytes) override {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) fail("write");
        size_ += static_cast<int64_t>(bytes.size());
    }
    int64_t size() const override { return size_; }
    void overwrite(int64_t at, std::span<const uint8_t> bytes) override {
        if (::fseeko(out_, off_t(at), SEEK_SET) != 0 || std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size() ||
            ::fseeko(out_, off_t(size_), SEEK_SET) != 0)
            fail("write");
    }

    void commit() {
        const bool flushed = std::fflush(out_) == 0;
        const int error = errno;
        const bool closed = std::fclose(out_) == 0;
        out_ = nullptr;
        if (!flushed || !closed) {
            errno = flushed ? errno : error;
            fail("write");
        }
        std::error_code ec;
        fs::rename(temp_, path_, ec);
        if (ec) throw VeldrinError("Cannot create file \"" + path_.string() + "\". " + ec.message());
        committed_ = true;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw VeldrinError(std::string("Cannot ") + what + " file \"" + path_.string() + "\". " + std::strerror(errno));
    }

    fs::path path_;
    fs::path temp_;
    std::FILE* out_ = nullptr;
    int64_t size_ = 0;
    bool committed_ = false;
};

void writeBytes(const fs::path& path, const char* data, std::size_t size) {
    TemporaryFileSink sink(path);
    sink.write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data), size));
    sink.commit();
}

} // namespace

void writeWholeFileFrom(const fs::path& path, const std::function<void(ByteSink&)>& produce) {
    TemporaryFileSink sink(path);
    produce(sink);
    sink.commit();
}

void writeWholeFile(const fs::path& path, std::span<const uint8_t> bytes) {
    writeBytes(path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void writeWholeFile(const fs::path& path, std::string_view text) { writeBytes(path, text.data(), text.size()); }

void ensureFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec && !fs::is_directory(folder)) {
        throw VeldrinError("Cannot create folder \"" + folder.string() + "\". " + ec.message());
    }
}

bool processIsGone(long long pid) { return pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

void removeAbandonedTemporaryFiles(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::size_t tmp = name.rfind(".tmp");
        if (name.size() < 2 || name[0] != '.' || tmp == std::string::npos || tmp + 4 == name.size()) continue;
        const std::string digits = name.substr(tmp + 4);
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        if (!processIsGone(std::stol(digits))) continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored)) fs::remove(it->path(), ignored);
    }
}

} // namespace veldrin
