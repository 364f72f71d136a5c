#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldrin::install {

// The files of a game folder as an install touches them: every folder from the game folder down to the
// file is opened without following links, and so is the file. A game folder may hold links made by
// other tools, and a record can be edited: a link where the install expects its own plain file or
// folder is refused (VeldrinError naming it) rather than followed out of the folder. The game folder
// itself is the user's choice and may be a link.
//
// `relative` is relative to the game folder with forward slashes ("veldrin/town/town.ide").

// Refuses a link at any step of the path; parts that do not exist are fine.
void refuseLinksOnTheWay(const std::filesystem::path& root, std::string_view relative);

// What stands at the path, links refused on the way and at its end.
enum class Standing { Missing, PlainFile, Folder, Other };
Standing standingOf(const std::filesystem::path& root, std::string_view relative);

// The SHA-256 of the plain file when it holds exactly `size` bytes, read in pieces (never whole, so a
// huge file costs no memory); none when it is missing, not a plain file or of another size.
std::optional<std::string> sha256IfSized(const std::filesystem::path& root, std::string_view relative, std::uintmax_t size);

// The plain file's bytes when it holds at most `limit`; VeldrinError naming `what` otherwise. None when
// it is missing.
std::optional<std::vector<uint8_t>> readPlainFile(const std::filesystem::path& root, std::string_view relative,
                                                  std::uintmax_t limit, const std::string& what);

// Removes the plain file (never what a link names); false when nothing was there.
bool removePlainFile(const std::filesystem::path& root, std::string_view relative);

// Removes the folder's empty sub-folders, deepest first, then the folder itself when empty; links and
// everything else are left alone.
void removeEmptyFolders(const std::filesystem::path& root, std::string_view relative);

} // namespace veldrin::install
