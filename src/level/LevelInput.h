#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "level/Inflate.h"

namespace veldrin {

// The level's IMG bytes followed by the inflated world resource, addressed by absolute position.
struct LevelBuffer {
    std::vector<uint8_t> bytes;
    int64_t worldBase = 0; // the IMG's size: where the world resource starts
    std::string imgName = "IMG"; // the IMG's file name, for messages about reads past its end

    std::span<const uint8_t> all() const { return bytes; }
    std::span<const uint8_t> img() const { return std::span<const uint8_t>(bytes).first(static_cast<std::size_t>(worldBase)); }
    std::span<const uint8_t> world() const { return std::span<const uint8_t>(bytes).subspan(static_cast<std::size_t>(worldBase)); }
};

inline constexpr uint32_t kWorldIdent = 0x57524C44; // "DLRW"
inline constexpr const char* kIncorrectLvzMessage = "This is incorrect LVZ file! Choose another one...";

using StatusCallback = std::function<void(const std::string&)>;

// Reads and inflates the LVZ, checks "DLRW", reads the IMG and joins them into one buffer. Refusals
// name the LVZ by its file name ("town.lvz: This is incorrect LVZ file! Choose another one...").
// Reports "Loading <file name>" for each file through `status`. With `jobs` above 1 the IMG is read on
// a second thread while the world inflates; refusals are the same either way.
LevelBuffer loadLevel(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath,
                      const StatusCallback& status = {}, int jobs = 1);
// "Loading <file name>", as loadLevel reports each file.
std::string loadingStatus(const std::filesystem::path& file);

// The same from bytes already in memory (tests, tools).
LevelBuffer buildLevelBuffer(std::span<const uint8_t> lvz, std::vector<uint8_t> img);

} // namespace veldrin
