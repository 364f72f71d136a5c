#include "level/LevelInput.h"

#include <algorithm>
#include <exception>
#include <thread>

#include <zlib.h>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"

namespace veldrin {

std::vector<uint8_t> inflateStream(std::span<const uint8_t> input, const std::string& what, std::size_t maxSize) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) throw VeldrinError(what + ": cannot start the inflater");
    std::vector<uint8_t> out;
    out.reserve(std::min<std::size_t>(input.size() * 4, maxSize)); // most streams inflate to a few times their size
    std::size_t consumed = 0;
    int rc = Z_OK;
    uint8_t chunk[65536];
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0 && consumed < input.size()) {
            const std::size_t piece = std::min<std::size_t>(65536, input.size() - consumed);
            zs.next_in = const_cast<Bytef*>(input.data() + consumed);
            zs.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        zs.next_out = chunk;
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - zs.avail_out));
        if (out.size() > maxSize) {
            inflateEnd(&zs);
            throw VeldrinError(what + " inflates past " + std::to_string(maxSize) +
                               " bytes, more than its 32-bit offsets can address");
        }
        if (rc == Z_BUF_ERROR && zs.avail_in == 0 && consumed >= input.size()) {
            inflateEnd(&zs);
            throw VeldrinError(what + " is truncated: its zlib stream ends before its end marker");
        }
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            const std::string reason = zs.msg ? zs.msg : "invalid data";
            inflateEnd(&zs);
            throw VeldrinError(what + " is not a valid zlib stream (" + reason + ")");
        }
    }
    inflateEnd(&zs);
    return out;
}

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

LevelBuffer joinLevel(std::vector<uint8_t> img, const std::vector<uint8_t>& world) {
    LevelBuffer level;
    level.bytes = std::move(img);
    level.worldBase = static_cast<int64_t>(level.bytes.size());
    level.bytes.insert(level.bytes.end(), world.begin(), world.end());
    return level;
}

} // namespace

LevelBuffer buildLevelBuffer(std::span<const uint8_t> lvz, std::vector<uint8_t> img) {
    const std::vector<uint8_t> world = inflateStream(lvz, "The LVZ file");
    checkWorldIdent(world);
    return joinLevel(std::move(img), world);
}

LevelBuffer loadLevel(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath,
                      const StatusCallback& status, int jobs) {
    const std::string name = lvzPath.filename().string();
    if (status) status("Loading " + name);
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
    const std::vector<uint8_t> world = inflateStream(lvz, name);
    try {
        checkWorldIdent(world);
    } catch (const VeldrinError& e) {
        throw VeldrinError(name + ": " + e.what(), e.reason());
    }
    if (status) status("Loading " + imgPath.filename().string());
    if (reader.joinable()) reader.join();
    else readImg();
    if (imgError) std::rethrow_exception(imgError);
    LevelBuffer level = joinLevel(std::move(img), world);
    level.imgName = imgPath.filename().string();
    return level;
}

} // namespace veldrin
