#include "level/LevelInput.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace {

void checkWorldIdent(std::span<const uint8_t> world) {
    if (world.size() < 32) {
        throw VeldrinError(kIncorrectLvzMessage, "it inflates to " + std::to_string(world.size()) +
                                                     " bytes, fewer than the 32 of a level's world header");
    }
    if (loadU32(world.data()) != kWorldIdent) {
        throw VeldrinError(kIncorrectLvzMessage, "its inflated data opens with " + openingBytes(world) +
                                                     ", not the \"DLRW\" of a Stories level's world; pick the .lvz of a level");
    }
}

LevelBuffer joinLevel(std::vector<uint8_t> img, std::span<const uint8_t> world) {
    LevelBuffer level;
    level.bytes = std::move(img);
    level.worldBase = static_cast<int64_t>(level.bytes.size());
    level.bytes.insert(level.bytes.end(), world.begin(), world.end());
    return level;
}

} // namespace

LevelBuffer buildLevelBuffer(std::span<const uint8_t> lvz, std::vector<uint8_t> img) {
    const InflatedBytes world = inflateWhole(lvz, "The LVZ file");
    checkWorldIdent(world.bytes());
    return joinLevel(std::move(img), world.bytes());
}

std::string loadingStatus(const std::filesystem::path& file) { return "Loading " + file.filename().string(); }

LevelBuffer loadLevel(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath,
                      const StatusCallback& status, int jobs) {
    const std::string name = lvzPath.filename().string();
    if (status) status(loadingStatus(lvzPath));
    const std::vector<uint8_t> lvz = readWholeFile(lvzPath);
    // The IMG is read with room behind it for the world, which inflates to a few times the LVZ's size,
    // so joining them moves neither.
    const std::size_t worldGuess = std::min<std::size_t>(lvz.size() * 4, kMaxInflatedSize);
    std::vector<uint8_t> img;
    std::exception_ptr imgError;
    const auto readImg = [&] {
        try {
            img = readWholeFile(imgPath, worldGuess);
        } catch (...) {
            imgError = std::current_exception();
        }
    };
    std::jthread reader;
    if (jobs > 1) reader = std::jthread(readImg);
    // Messages name the file the user picked; the fixed text of a wrong ident follows the name unchanged.
    const InflatedBytes world = inflateWhole(lvz, name);
    try {
        checkWorldIdent(world.bytes());
    } catch (const VeldrinError& e) {
        throw VeldrinError(name + ": " + e.what(), e.reason());
    }
    if (status) status(loadingStatus(imgPath));
    if (reader.joinable()) reader.join();
    else readImg();
    if (imgError) std::rethrow_exception(imgError);
    LevelBuffer level = joinLevel(std::move(img), world.bytes());
    level.imgName = imgPath.filename().string();
    return level;
}

} // namespace veldrin
