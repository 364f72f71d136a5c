#include "pcout/OutputSink.h"

#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace {

// Names come from the level name and user prefixes; keep every write inside the level folder.
void requirePlainFileName(const std::string& fileName) {
    const bool separator = fileName.find_first_of("/\\") != std::string::npos;
    if (fileName.empty() || separator || fileName == "." || fileName == "..") {
        throw VeldrinError("Cannot write \"" + fileName + "\": output names must be plain file names");
    }
}

} // namespace

OutputSink::OutputSink(std::filesystem::path levelFolder, Mode mode) : folder_(std::move(levelFolder)), mode_(mode) {}

void OutputSink::ensureLevelFolder() {
    if (folderReady_) return;
    ensureFolder(folder_);
    folderReady_ = true;
}

void OutputSink::writeFile(const std::string& fileName, std::span<const uint8_t> bytes) {
    requirePlainFileName(fileName);
    ensureLevelFolder();
    writeWholeFile(folder_ / fileName, bytes);
}

void OutputSink::put(const std::string& fileName, const std::string& entryName, std::span<const uint8_t> bytes) {
    if (mode_ == Mode::Archive) {
        archive_.addEntry(entryName, bytes);
    } else {
        writeFile(fileName, bytes);
    }
}

void OutputSink::finish(const std::string& levelName, TargetGame target,
                        std::optional<std::span<const uint8_t>> blankCollision) {
    const std::string upperName = toUpper(levelName);
    if (mode_ == Mode::Files) {
        if (blankCollision) writeFile(levelName + ".col", *blankCollision);
        return;
    }
    if (target == TargetGame::GtaSa) {
        if (blankCollision) archive_.addEntry(upperName + ".COL", *blankCollision);
        writeFile(upperName + ".IMG", archive_.finishVer2());
    } else {
        ImgArchive::SplitFiles files = std::move(archive_).finishSplit();
        writeFile(upperName + ".DIR", files.directory);
        if (blankCollision) writeFile(levelName + ".col", *blankCollision);
        writeFile(upperName + ".IMG", files.data);
    }
    archive_ = ImgArchive{};
}

} // namespace veldrin
