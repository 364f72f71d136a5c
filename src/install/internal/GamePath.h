#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veldrin::install {

// Paths as the games' data files write them: relative to the game folder, backslashes, any letter case
// ("DATA\\MAPS\\generic.IDE"). The games run on a file system that ignores case; this one may not.

// False for a path that leaves the game folder or names no file: empty, absolute, with a drive or "..".
bool isInsideGamePath(std::string_view gamePath);

// The file or folder the game path names, matching each part's letter case as the file system does not;
// none when a part is missing or the path is not inside the game folder.
std::optional<std::filesystem::path> findInGameFolder(const std::filesystem::path& root, std::string_view gamePath);

// "veldrin/a.ide" -> "veldrin\\a.ide"
std::string gamePathText(const std::filesystem::path& relative);

// True when the game path lies in the install's own folder ("veldrin\\...", any case).
bool isInInstallFolder(std::string_view gamePath);

} // namespace veldrin::install
