#include "tools/PlacementDumpFile.h"

#include "base/FileIO.h"
#include "level/LevelInput.h"

namespace veldrin {

namespace {

// A zlib stream's two-byte header: deflate with a window of at most 32 KiB, and a check that makes the
// pair a multiple of 31. The inflated game data starts with its own tag, which never passes both.
bool startsAsZlibStream(std::span<const uint8_t> bytes) {
    return bytes.size() >= 2 && (bytes[0] & 0x0F) == 8 && (bytes[0] >> 4) <= 7 && ((bytes[0] << 8) | bytes[1]) % 31 == 0;
}

} // namespace

PlacementDumpFiles writePlacementDump(const std::filesystem::path& gameDataPath, const PlacementDumpOptions& options,
                                      const std::filesystem::path& outFolder) {
    std::vector<uint8_t> data = readWholeFile(gameDataPath);
    // GAME.DTZ as the game stores it is one zlib stream; the inflated data is taken as it is.
    if (startsAsZlibStream(data)) data = inflateStream(data, gameDataPath.filename().string());
    const PlacementDump dump = dumpPlacements(data, options);
    // An empty folder is the current one, as the window's dump always wrote there.
    const std::filesystem::path folder = outFolder.empty() ? std::filesystem::path(".") : outFolder;
    PlacementDumpFiles files;
    files.ide = folder / kDumpIdeName;
    files.ipl = folder / kDumpIplName;
    files.models = dump.models;
    files.instances = dump.instances;
    ensureFolder(folder);
    writeWholeFile(files.ide, dump.ide);
    writeWholeFile(files.ipl, dump.ipl);
    return files;
}

} // namespace veldrin
