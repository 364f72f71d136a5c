#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veldrin::install {

// The sizes past which a file of the game is refused rather than read: far above what the games ship.
inline constexpr std::uintmax_t kMaxDataFileBytes = 4u << 20;      // gta*.dat, default.dat
inline constexpr std::uintmax_t kMaxTextFileBytes = 64u << 20;     // an IDE or IPL file
inline constexpr std::uintmax_t kMaxDirectoryBytes = 64u << 20;    // an archive's directory
inline constexpr std::uintmax_t kMaxRecordBytes = 64u << 20;       // the install record

// Refuses a file of `size` bytes past `limit`, naming `what`: such a file is no file of the game.
void refuseOverLimit(const std::string& what, std::uintmax_t size, std::uintmax_t limit);

// The whole file when it is at most `limit` bytes; VeldrinError naming `what` and the limit otherwise.
std::vector<uint8_t> readBoundedFile(const std::filesystem::path& path, std::uintmax_t limit, const std::string& what);

// The first `count` bytes of the file (fewer when it is shorter).
std::vector<uint8_t> readFileStart(const std::filesystem::path& path, std::size_t count, const std::string& what);

// False when the file's read-only flag (the owner's write permission) is set, as the games' installers
// and users set it: such a file is not to be replaced.
bool ownerMayWrite(const std::filesystem::path& file);

} // namespace veldrin::install
