#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/FileIO.h"
#include "inspect/ImgRead.h"
#include "pcout/OutputSink.h"
#include "support/TempFolder.h"

using namespace veldrin;
namespace fs = std::filesystem;

namespace {

const std::vector<uint8_t> kModel{1, 2, 3};
const std::vector<uint8_t> kDictionary(3000, 7);
const std::vector<uint8_t> kCollision{'C', 'O', 'L', 'L'};

std::vector<std::string> folderListing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The sink's record as "name size archive" lines; loose files are checked against the disk.
std::vector<std::string> recordOf(const OutputSink& sink) {
    std::vector<std::string> lines;
    for (const WrittenFile& f : sink.written()) {
        if (f.archive.empty()) {
            EXPECT_EQ(fs::file_size(sink.levelFolder() / f.name), f.bytes) << f.name;
        }
        lines.push_back(f.name + " " + std::to_string(f.bytes) + " " + f.archive);
    }
    return lines;
}

void putModelAndDictionary(OutputSink& sink) {
    sink.put("indust17.dff", "indust17.dff", kModel);
    sink.put("INDUST.TXD", "INDUST.txd", kDictionary);
}

} // namespace

TEST(OutputSink, FilesGoIntoTheLevelFolderCreatedWhenMissing) {
    test::TempFolder temp("sink");
    const fs::path level = temp / "out" / "indust";
    OutputSink sink(level, "indust", OutputSink::Mode::Files);
    putModelAndDictionary(sink);
    EXPECT_EQ(readWholeFile(level / "indust17.dff"), kModel);
    EXPECT_EQ(readWholeFile(level / "INDUST.TXD"), kDictionary);
    sink.finish(TargetGame::GtaVc, kCollision);
    EXPECT_EQ(readWholeFile(level / "indust.col"), kCollision);
    EXPECT_EQ(folderListing(level), (std::vector<std::string>{"INDUST.TXD", "indust.col", "indust17.dff"}));
    sink.putLoose("indust.ide", std::string_view("objs\r\n"));
    EXPECT_EQ(recordOf(sink), (std::vector<std::string>{"indust17.dff " + std::to_string(kModel.size()) + " ",
                                                        "INDUST.TXD " + std::to_string(kDictionary.size()) + " ",
                                                        "indust.col " + std::to_string(kCollision.size()) + " ",
                                                        "indust.ide 6 "}));
}

TEST(OutputSink, ArchiveForViceCityWritesDirectoryDataAndSeparateCollision) {
    test::TempFolder temp("sink");
    const fs::path level = temp / "indust";
    OutputSink sink(level, "indust", OutputSink::Mode::Archive);
    putModelAndDictionary(sink);
    EXPECT_EQ(folderListing(level).size(), 1u); // only the archive's temporary file until it is finished
    EXPECT_FALSE(fs::exists(level / "INDUST.IMG"));
    sink.finish(TargetGame::GtaVc, kCollision);
    EXPECT_EQ(folderListing(level), (std::vector<std::string>{"INDUST.DIR", "INDUST.IMG", "indust.col"}));

    const auto dir = readWholeFile(level / "INDUST.DIR");
    const auto img = readWholeFile(level / "INDUST.IMG");
    const std::vector<inspect::ImgEntry> entries = inspect::readDirEntries(dir, "INDUST.DIR");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "indust17.dff");
    EXPECT_EQ(entries[1].name, "INDUST.txd");
    EXPECT_EQ(entries[1].offset, 1u); // the dictionary follows the one-sector model
    EXPECT_EQ(entries[1].sectors, 2u);
    ASSERT_EQ(img.size(), 3u * 2048);
    EXPECT_TRUE(std::equal(kDictionary.begin(), kDictionary.end(), img.begin() + 2048));
    EXPECT_EQ(readWholeFile(level / "indust.col"), kCollision);
    EXPECT_EQ(recordOf(sink), (std::vector<std::string>{"indust17.dff " + std::to_string(kModel.size()) + " INDUST.IMG",
                                                        "INDUST.txd " + std::to_string(kDictionary.size()) + " INDUST.IMG",
                                                        "INDUST.DIR 64 ", "indust.col " + std::to_string(kCollision.size()) + " ",
                                                        "INDUST.IMG 6144 "}));
}

TEST(OutputSink, ArchiveForSanAndreasHoldsTheCollisionAsLastEntry) {
    test::TempFolder temp("sink");
    const fs::path level = temp / "indust";
    OutputSink sink(level, "indust", OutputSink::Mode::Archive);
    sink.planArchive(TargetGame::GtaSa, 3);
    putModelAndDictionary(sink);
    sink.finish(TargetGame::GtaSa, kCollision);
    EXPECT_EQ(folderListing(level), (std::vector<std::string>{"INDUST.IMG"}));

    const auto img = readWholeFile(level / "INDUST.IMG");
    const std::vector<inspect::ImgEntry> entries = inspect::readVer2Entries(img, "INDUST.IMG");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].name, "INDUST.COL");
    EXPECT_EQ(entries[2].sectors, 1u);
    const auto last = inspect::entryBytes(img, entries[2], "INDUST.IMG");
    EXPECT_TRUE(std::equal(kCollision.begin(), kCollision.end(), last.begin()));
    const auto record = recordOf(sink);
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(record[2], "INDUST.COL " + std::to_string(kCollision.size()) + " INDUST.IMG");
    EXPECT_EQ(record[3], "INDUST.IMG " + std::to_string(img.size()) + " ");
}

TEST(OutputSink, NoCollisionStreamMeansNoCollisionFile) {
    test::TempFolder temp("sink");
    OutputSink archive(temp / "a", "indust", OutputSink::Mode::Archive);
    archive.finish(TargetGame::Gta3, std::nullopt);
    EXPECT_EQ(folderListing(temp / "a"), (std::vector<std::string>{"INDUST.DIR", "INDUST.IMG"}));
    EXPECT_TRUE(readWholeFile(temp / "a" / "INDUST.DIR").empty());

    OutputSink files(temp / "f", "indust", OutputSink::Mode::Files);
    files.put("x.dff", "x.dff", kModel);
    files.finish(TargetGame::GtaSa, std::nullopt);
    EXPECT_EQ(folderListing(temp / "f"), (std::vector<std::string>{"x.dff"}));
}

TEST(OutputSink, NamesThatWouldLeaveTheLevelFolderAreRefused) {
    test::TempFolder temp("sink");
    OutputSink sink(temp / "indust", "indust", OutputSink::Mode::Files);
    EXPECT_THROW(sink.put("../escape.dff", "escape.dff", kModel), VeldrinError);
    EXPECT_THROW(sink.put("sub\\x.dff", "x.dff", kModel), VeldrinError);
    EXPECT_FALSE(fs::exists(temp / "escape.dff"));
}

TEST(OutputSink, ArchiveOfARunThatNeverFinishesLeavesNoFile) {
    test::TempFolder temp("sink");
    {
        OutputSink sink(temp / "indust", "indust", OutputSink::Mode::Archive);
        sink.planArchive(TargetGame::GtaSa, 2);
        putModelAndDictionary(sink);
    }
    EXPECT_TRUE(folderListing(temp / "indust").empty());
}
