#include "internal/LinkSafeFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "base/Error.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/InstallTexts.h"
#include "report/Sha256.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

// An open descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

[[noreturn]] void refuseLink(const fs::path& at) { throw VeldrinError(texts::linkRefused(at)); }

[[noreturn]] void cannotRead(const fs::path& at, int error) {
    throw VeldrinError("Cannot open \"" + at.string() + "\". " + std::strerror(error));
}

bool isLink(int folder, const std::string& name) {
    struct stat st {};
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

// The folder holding the path's last part, every step opened without following links, and that part;
// none when a folder on the way is missing (or a file stands where a folder should).
struct Place {
    Descriptor folder;
    std::string name;
    fs::path shown; // the whole path, for messages
};

std::optional<Place> placeOf(const fs::path& root, std::string_view relative) {
    const std::vector<std::string> parts = splitAt(relative, "/");
    if (parts.empty() || std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p == ".." || p == "."; }))
        throw VeldrinError("\"" + std::string(relative) + "\" is not a path inside the game folder");
    Descriptor folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) cannotRead(root, errno);
    fs::path shown = root;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        shown /= parts[i];
        Descriptor next(::openat(folder.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.valid()) {
            const int error = errno;
            if (isLink(folder.get(), parts[i])) refuseLink(shown);
            if (error == ENOENT || error == ENOTDIR) return std::nullopt;
            cannotRead(shown, error);
        }
        folder = std::move(next);
    }
    return Place{std::move(folder), parts.back(), shown / parts.back()};
}

Standing standingAt(const Place& place) {
    struct stat st {};
    if (::fstatat(place.folder.get(), place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Standing::Missing;
        cannotRead(place.shown, errno);
    }
    if (S_ISLNK(st.st_mode)) refuseLink(place.shown);
    if (S_ISREG(st.st_mode)) return Standing::PlainFile;
    return S_ISDIR(st.st_mode) ? Standing::Folder : Standing::Other;
}

// The plain file opened for reading, with its size; none when there is no plain file.
std::optional<std::pair<Descriptor, std::uintmax_t>> openPlain(const fs::path& root, std::string_view relative) {
    std::optional<Place> place = placeOf(root, relative);
    if (!place || standingAt(*place) != Standing::PlainFile) return std::nullopt;
    // O_NONBLOCK: should something else be swapped in meanwhile, a pipe does not hang the open.
    Descriptor file(::openat(place->folder.get(), place->name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid()) {
        if (errno == ELOOP) refuseLink(place->shown);
        cannotRead(place->shown, errno);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return std::make_pair(std::move(file), std::uintmax_t(st.st_size));
}

// Reads exactly `size` bytes in pieces, handing each to `take`; false when the file ends early.
template <typename Take>
bool readPieces(int fd, std::uintmax_t size, const fs::path& shown, Take&& take) {
    std::vector<uint8_t> piece(std::size_t(std::min<std::uintmax_t>(size, 1u << 20)));
    for (std::uintmax_t done = 0; done < size;) {
        const std::size_t want = std::size_t(std::min<std::uintmax_t>(size - done, piece.size()));
        const ssize_t got = ::read(fd, piece.data(), want);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) cannotRead(shown, errno);
        if (got == 0) return false;
        take(std::span<const uint8_t>(piece.data(), std::size_t(got)));
        done += std::uintmax_t(got);
    }
    return true;
}

} // namespace

void refuseLinksOnTheWay(const fs::path& root, std::string_view relative) {
    if (std::optional<Place> place = placeOf(root, relative)) standingAt(*place);
}

Standing standingOf(const fs::path& root, std::string_view relative) {
    const std::optional<Place> place = placeOf(root, relative);
    return place ? standingAt(*place) : Standing::Missing;
}

std::optional<std::string> sha256IfSized(const fs::path& root, std::string_view relative, std::uintmax_t size) {
    auto file = openPlain(root, relative);
    if (!file || file->second != size) return std::nullopt;
    Sha256Stream hash;
    if (!readPieces(file->first.get(), size, root / std::string(relative), [&](std::span<const uint8_t> bytes) { hash.add(bytes); }))
        return std::nullopt;
    return hash.hex();
}

std::optional<std::vector<uint8_t>> readPlainFile(const fs::path& root, std::string_view relative, std::uintmax_t limit,
                                                  const std::string& what) {
    auto file = openPlain(root, relative);
    if (!file) {
        if (standingOf(root, relative) == Standing::Missing) return std::nullopt;
        throw VeldrinError(texts::notPlainFile(root / std::string(relative)));
    }
    refuseOverLimit(what, file->second, limit);
    std::vector<uint8_t> bytes;
    bytes.reserve(std::size_t(file->second));
    readPieces(file->first.get(), file->second, root / std::string(relative),
               [&](std::span<const uint8_t> piece) { bytes.insert(bytes.end(), piece.begin(), piece.end()); });
    return bytes;
}

bool removePlainFile(const fs::path& root, std::string_view relative) {
    const std::optional<Place> place = placeOf(root, relative);
    if (!place || standingAt(*place) != Standing::PlainFile) return false;
    if (::unlinkat(place->folder.get(), place->name.c_str(), 0) != 0 && errno != ENOENT)
        throw VeldrinError("Cannot remove \"" + place->shown.string() + "\". " + std::strerror(errno));
    return true;
}

void removeEmptyFolders(const fs::path& root, std::string_view relative) {
    const std::optional<Place> place = placeOf(root, relative);
    if (!place || standingAt(*place) != Standing::Folder) return;
    // rmdir removes nothing but an empty folder (or fails), so what a link names is never touched; the
    // walk does not descend into links either.
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::recursive_directory_iterator it(place->shown, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) { return a.native().size() > b.native().size(); });
    folders.push_back(place->shown);
    for (const fs::path& folder : folders) ::rmdir(folder.c_str());
}

} // namespace veldrin::install
