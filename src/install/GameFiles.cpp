#include "internal/GameFiles.h"

#include <fstream>

#include "base/Error.h"
#include "base/FileIO.h"

namespace veldrin::install {
namespace fs = std::filesystem;

void refuseOverLimit(const std::string& what, std::uintmax_t size, std::uintmax_t limit) {
    if (size > limit)
        throw VeldrinError(what + ": " + std::to_string(size) + " bytes, more than the " + std::to_string(limit) +
                           " bytes such a file can hold; it is not a file of the game");
}

std::vector<uint8_t> readBoundedFile(const fs::path& path, std::uintmax_t limit, const std::string& what) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error) refuseOverLimit(what, size, limit);
    return readWholeFile(path);
}

std::vector<uint8_t> readFileStart(const fs::path& path, std::size_t count, const std::string& what) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw VeldrinError("Cannot open file \"" + path.string() + "\" (" + what + ")");
    std::vector<uint8_t> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(count));
    bytes.resize(std::size_t(in.gcount()));
    return bytes;
}

bool ownerMayWrite(const fs::path& file) {
    std::error_code error;
    const fs::perms perms = fs::status(file, error).permissions();
    return !error && (perms & fs::perms::owner_write) != fs::perms::none;
}

} // namespace veldrin::install
