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

void OutputSink::ensureLevelFolder() {
    if (folderReady_) return;
    ensureFolder(folder_);
    folderReady_ = true;
}

void OutputSink::writeFile(const std::string& fileName, std::span<const uint8_t> bytes) {
    requirePlainFileName(fileName);
    ensureLevelFolder();
    writeWholeFile(folder_ / fileName, bytes);
    written_.push_back({fileName, bytes.size(), {}});
}

void OutputSink::planArchive(TargetGame target, int32_t plannedEntries) {
    if (target == TargetGame::GtaSa) ver2Entries_ = plannedEntries;
}

std::string OutputSink::archiveFileName() const { return archiveName(levelName_); }

bool OutputSink::watchArchive(TargetGame target, std::function<void(std::span<const uint8_t>)> watcher) {
    if (mode_ != Mode::Archive || target == TargetGame::GtaSa || ver2Entries_ || archive_) return false;
    watcher_ = std::move(watcher);
    return true;
}

ImgFileWriter& OutputSink::archive() {
    if (!archive_) {
        ensureLevelFolder();
        archive_ = std::make_unique<ImgFileWriter>(folder_ / archiveName(levelName_), ver2Entries_, watcher_);
    }
    return *archive_;
}

void OutputSink::put(const std::string& fileName, const std::string& entryName, std::vector<uint8_t> bytes) {
    put(fileName, entryName, std::make_shared<const std::vector<uint8_t>>(std::move(bytes)));
}

void OutputSink::put(const std::string& fileName, const std::string& entryName, std::shared_ptr<const std::vector<uint8_t>> bytes) {
    if (mode_ == Mode::Files) {
        writeFile(fileName, *bytes);
        return;
    }
    const uint64_t size = bytes->size();
    archive().addEntry(entryName, std::move(bytes));
    written_.push_back({entryName, size, archiveName(levelName_)});
}

void OutputSink::putFrom(const std::string& fileName, const std::string& entryName,
                         const std::function<void(ByteSink&)>& produce) {
    if (mode_ == Mode::Archive) {
        const uint64_t size = archive().addEntryFrom(entryName, produce);
        written_.push_back({entryName, size, archiveName(levelName_)});
        return;
    }
    requirePlainFileName(fileName);
    ensureLevelFolder();
    int64_t size = 0;
    writeWholeFileFrom(folder_ / fileName, [&](ByteSink& out) {
        produce(out);
        size = out.size();
    });
    written_.push_back({fileName, static_cast<uint64_t>(size), {}});
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
    if (target == TargetGame::GtaSa) {
        if (blankCollision) put({}, upperName + ".COL", *blankCollision);
        const ImgFileWriter::Finished img = archive().finish(ImgFileWriter::Layout::Ver2);
        written_.push_back({archiveName(levelName_), img.fileBytes, {}});
    } else {
        // The data file is complete (and named) before the directory that points into it is written.
        const ImgFileWriter::Finished img = archive().finish(ImgFileWriter::Layout::Split);
        writeFile(upperName + ".DIR", img.directory);
        if (blankCollision) writeFile(looseCollision, *blankCollision);
        written_.push_back({archiveName(levelName_), img.fileBytes, {}});
    }
    archive_.reset();
}

} // namespace veldrin
