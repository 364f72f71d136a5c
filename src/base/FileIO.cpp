#include "base/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

#include "base/Error.h"

namespace veldrin {

namespace fs = std::filesystem;

std::vector<uint8_t> readWholeFile(const fs::path& path) {
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
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        throw VeldrinError("Cannot read file \"" + path.string() + "\". " + std::strerror(errno));
    }
    return bytes;
}

void requireInputFile(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) throw VeldrinError(path.string() + ": no such file");
    if (fs::is_directory(status)) throw VeldrinError(path.string() + ": is a folder");
    if (fs::is_regular_file(status) && fs::file_size(path, ec) == 0 && !ec) throw VeldrinError(path.string() + ": is empty");
}

static void writeBytes(const fs::path& path, const char* data, std::size_t size) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const fs::path temp = folder / ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()));
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw VeldrinError("Cannot create file \"" + path.string() + "\". " + std::strerror(errno));
        if (size > 0) out.write(data, static_cast<std::streamsize>(size));
        out.flush();
        if (!out) {
            const std::string reason = std::strerror(errno);
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw VeldrinError("Cannot write file \"" + path.string() + "\". " + reason);
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw VeldrinError("Cannot create file \"" + path.string() + "\". " + ec.message());
    }
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

} // namespace veldrin
