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

std::string archiveName(const std::string& levelName) { return toUpper(levelName) + ".IMG"; }

} // namespace

OutputSink::OutputSink(std::filesystem::path levelFolder, std::string levelName, Mode mode)
    : folder_(std::move(levelFolder)), levelName_(std::move(levelName)), mode_(mode) {}

void OutputSink::writeFile(const std::string& fileName, std::span<const uint8_t> bytes) {
    requirePlainFileName(fileName);
    if (!folderReady_) {
        ensureFolder(folder_);
        folderReady_ = true;
    }
    writeWholeFile(folder_ / fileName, bytes);
    written_.push_back({fileName, bytes.size(), {}});
}

void OutputSink::put(const std::string& fileName, const std::string& entryName, std::span<const uint8_t> bytes) {
    if (mode_ == Mode::Files) {
        writeFile(fileName, bytes);
        return;
    }
    archive_.addEntry(entryName, bytes);
    written_.push_back({entryName, bytes.size(), archiveName(levelName_)});
}

void OutputSink::putLoose(const std::string& fileName, std::span<const uint8_t> bytes) { writeFile(fileName, bytes); }

void OutputSink::putLoose(const std::string& fileName, std::string_view text) {
    putLoose(fileName, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

void OutputSink::finish(TargetGame target, std::optional<std::span<const uint8_t>> blankCollision) {
    const std::string looseCollision = levelName_ + ".col";
    if (mode_ == Mode::Files) {
        if (blankCollision) writeFile(looseCollision, *blankCollision);
        return;
    }
    const std::string upperName = toUpper(levelName_);
    if (target == TargetGame::GtaSa && blankCollision)
        written_.push_back({upperName + ".COL", blankCollision->size(), archiveName(levelName_)});
    for (const OutputFile& file : finishImg(std::move(archive_), upperName, target, blankCollision, looseCollision))
        writeFile(file.name, file.bytes);
    archive_ = ImgArchive{};
}

} // namespace veldrin
