#pragma once
#include <filesystem>
#include <string_view>

namespace veldrin::install {

// The hidden folders of a commit in the game folder, each followed by the committing process's id.
inline constexpr std::string_view kStagingPrefix = ".veldrin-staging-";   // then "PID-N"
inline constexpr std::string_view kReplacedPrefix = ".veldrin-replaced-"; // then "PID"

// Tidies what an install killed mid-commit left (its process gone): a staging folder was never moved
// into place and is removed; an earlier install it had moved aside goes back to GAME_DIR/veldrin when
// nothing is there, and is removed otherwise.
void tidyAfterKilledInstalls(const std::filesystem::path& root);

} // namespace veldrin::install
