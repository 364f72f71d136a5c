#include "tools/PlacementDumpFile.h"

#include "base/FileIO.h"

namespace veldrin {

PlacementDumpFiles writePlacementDump(const std::filesystem::path& gameDataPath, const PlacementDumpOptions& options,
                                      const std::filesystem::path& outFolder) {
    const PlacementDump dump = dumpPlacements(readWholeFile(gameDataPath), options);
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
