#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <span>
#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/FileIO.h"
#include "pcout/ImgArchive.h"
#include "pcout/ImgFileWriter.h"
#include "support/TempFolder.h"

using namespace veldrin;

namespace {

std::vector<uint8_t> entryBytes(std::size_t size, std::size_t seed) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed * 31 + i * 7 + 1);
    return bytes;
}

std::size_t filesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

// The streamed archive must be byte for byte the archive built in memory, whether the planned count
// was right, too high or too low for the VER2 directory's room.
TEST(ImgFileWriter, StreamedArchiveEqualsTheArchiveBuiltInMemory) {
    struct Case {
        ImgFileWriter::Layout layout;
        std::optional<int32_t> planned;
        int32_t entries;
        const char* what;
    };
    const Case cases[] = {
        {ImgFileWriter::Layout::Split, std::nullopt, 5, "DIR and IMG"},
        {ImgFileWriter::Layout::Split, std::nullopt, 0, "empty DIR and IMG"},
        {ImgFileWriter::Layout::Split, 5, 5, "DIR and IMG after room was kept for a VER2 directory"},
        {ImgFileWriter::Layout::Ver2, 5, 5, "VER2 as planned"},
        {ImgFileWriter::Layout::Ver2, 70, 60, "VER2 with fewer entries than planned, one header sector fewer"},
        {ImgFileWriter::Layout::Ver2, 10, 70, "VER2 with more entries than planned, one header sector more"},
        {ImgFileWriter::Layout::Ver2, 62, 58, "VER2 with fewer entries, the same header sectors"},
        {ImgFileWriter::Layout::Ver2, 0, 0, "empty VER2"},
    };
    for (const Case& c : cases) {
        test::TempFolder folder("veldrin-img");
        const auto path = folder / "TOWN.IMG";
        ImgArchive expected;
        ImgFileWriter writer(path, c.planned);
        for (int32_t i = 0; i < c.entries; ++i) {
            // Sizes around the sector boundaries: empty, one byte short, exact, one byte over, several sectors.
            const std::size_t sizes[] = {0, 2047, 2048, 2049, 9000};
            const auto bytes = entryBytes(sizes[i % 5] + static_cast<std::size_t>(i), static_cast<std::size_t>(i));
            const std::string name = "model" + std::to_string(i) + ".dff";
            expected.addEntry(name, bytes);
            writer.addEntry(name, bytes);
        }
        const ImgFileWriter::Finished done = writer.finish(c.layout);
        const std::vector<uint8_t> written = readWholeFile(path);
        EXPECT_EQ(done.fileBytes, written.size()) << c.what;
        if (c.layout == ImgFileWriter::Layout::Ver2) {
            EXPECT_EQ(written, expected.finishVer2()) << c.what;
            EXPECT_TRUE(done.directory.empty()) << c.what;
        } else {
            const ImgArchive::SplitFiles split = std::move(expected).finishSplit();
            EXPECT_EQ(written, split.data) << c.what;
            EXPECT_EQ(done.directory, split.directory) << c.what;
        }
        EXPECT_EQ(filesIn(folder.path()), 1u) << c.what << ": temporary files left behind";
    }
}

// An entry written piece by piece, its head and its tail changed once the whole is out (as a dictionary
// sets its size field), lands as the same bytes given whole; one whose writer fails half way leaves no
// trace once the next entry takes its place.
TEST(ImgFileWriter, EntryWrittenPieceByPieceEqualsTheEntryGivenWhole) {
    const std::size_t sizes[] = {3000, (5u << 19) + 7, 0, 2048}; // the second spans three pieces
    test::TempFolder folder("veldrin-img");
    ImgArchive expected;
    ImgFileWriter writer(folder / "TOWN.IMG", 6);
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        std::vector<uint8_t> bytes = entryBytes(sizes[i], i);
        const std::string name = "town" + std::to_string(i) + ".txd";
        const std::vector<uint8_t> head = {0xAA, 0xBB, 0xCC}, tail = {0xDD, 0xEE};
        const uint64_t size = writer.addEntryFrom(name, [&](ByteSink& out) {
            for (std::size_t at = 0; at < bytes.size(); at += 1000)
                out.write(std::span(bytes).subspan(at, std::min<std::size_t>(1000, bytes.size() - at)));
            if (bytes.size() < 8) return;
            out.overwrite(4, head);
            out.overwrite(static_cast<int64_t>(bytes.size() - 2), tail);
        });
        if (i == 1) {
            EXPECT_THROW(writer.addEntryFrom("broken.txd", [&](ByteSink& out) {
                out.write(bytes);
                throw VeldrinError("the dictionary failed");
            }), VeldrinError);
        }
        if (bytes.size() >= 8) {
            std::copy(head.begin(), head.end(), bytes.begin() + 4);
            std::copy(tail.begin(), tail.end(), bytes.end() - 2);
        }
        EXPECT_EQ(size, bytes.size());
        expected.addEntry(name, bytes);
    }
    writer.finish(ImgFileWriter::Layout::Ver2);
    EXPECT_EQ(readWholeFile(folder / "TOWN.IMG"), expected.finishVer2());
}

TEST(ImgFileWriter, UnfinishedOrRefusedArchiveLeavesNoFile) {
    test::TempFolder folder("veldrin-img");
    {
        ImgFileWriter writer(folder / "TOWN.IMG", 3);
        writer.addEntry("a.dff", entryBytes(5000, 1));
        EXPECT_THROW(writer.addEntry("a_name_longer_than_24_chars.dff", entryBytes(10, 2)), VeldrinError);
        EXPECT_EQ(writer.entryCount(), 1);
    }
    EXPECT_EQ(filesIn(folder.path()), 0u);
    EXPECT_THROW(ImgFileWriter(folder / "missing" / "TOWN.IMG"), VeldrinError);
}
