#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/Error.h"
#include "inspect/ImgRead.h"
#include "pcout/ImgArchive.h"

using namespace veldrin;

namespace {

using inspect::ImgEntry;

std::vector<ImgEntry> readDir(const std::vector<uint8_t>& dir) { return inspect::readDirEntries(dir, "directory"); }
std::vector<ImgEntry> readVer2(const std::vector<uint8_t>& img) { return inspect::readVer2Entries(img, "archive"); }

std::vector<uint8_t> pattern(std::size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(seed + i * 7 + 1);
    return bytes;
}

// The entry's sectors hold its bytes followed by zero padding only.
void expectEntryHolds(const std::vector<uint8_t>& data, const ImgEntry& e, const std::vector<uint8_t>& bytes) {
    const std::size_t start = std::size_t(e.offset) * 2048;
    const std::size_t length = std::size_t(e.sectors) * 2048;
    ASSERT_LE(start + length, data.size()) << e.name;
    ASSERT_GE(length, bytes.size()) << e.name;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), data.begin() + start)) << e.name;
    for (std::size_t i = bytes.size(); i < length; ++i) ASSERT_EQ(data[start + i], 0) << e.name << " byte " << i;
}

} // namespace

TEST(ImgArchive, EntriesTakeWholeSectors) {
    ImgArchive archive;
    const auto exact = pattern(2048, 1);
    const auto over = pattern(2049, 2);
    const std::vector<uint8_t> empty;
    archive.addEntry("exact.dff", exact);
    archive.addEntry("over.dff", over);
    archive.addEntry("empty.dff", empty);
    archive.addEntry("after.txd", pattern(5, 3));
    EXPECT_EQ(archive.entryCount(), 4);

    const auto entries = readDir(archive.directory());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].offset, 0u);
    EXPECT_EQ(entries[0].sectors, 1u);
    EXPECT_EQ(entries[1].offset, 1u);
    EXPECT_EQ(entries[1].sectors, 2u);
    EXPECT_EQ(entries[2].offset, 3u);
    EXPECT_EQ(entries[2].sectors, 0u);
    EXPECT_EQ(entries[3].offset, 3u);
    EXPECT_EQ(entries[3].sectors, 1u);
    EXPECT_EQ(entries[3].name, "after.txd");
    ASSERT_EQ(archive.data().size(), 4u * 2048);
    expectEntryHolds(archive.data(), entries[0], exact);
    // The 2049-byte entry: one byte in its second sector, then 2047 zero bytes.
    expectEntryHolds(archive.data(), entries[1], over);
    expectEntryHolds(archive.data(), entries[3], pattern(5, 3));
}

TEST(ImgArchive, NameFieldIsZeroPaddedAndLongNamesAreRefused) {
    ImgArchive archive;
    archive.addEntry("indust17.dff", pattern(10, 0));
    const std::string full = "abcdefghijklmnopqrst.dff"; // exactly 24 bytes
    archive.addEntry(full, pattern(10, 0));
    const auto& dir = archive.directory();
    ASSERT_EQ(dir.size(), 64u);
    EXPECT_EQ(std::memcmp(dir.data() + 8, "indust17.dff", 12), 0);
    for (int i = 20; i < 32; ++i) EXPECT_EQ(dir[i], 0) << i;
    // No terminator when the name fills the field.
    EXPECT_EQ(std::string(dir.begin() + 40, dir.begin() + 64), full);

    try {
        archive.addEntry("abcdefghijklmnopqrstu.dff", pattern(10, 0));
        FAIL() << "a 25-byte name was accepted";
    } catch (const VeldrinError& e) {
        EXPECT_NE(std::string(e.what()).find("abcdefghijklmnopqrstu.dff"), std::string::npos);
    }
    EXPECT_EQ(archive.entryCount(), 2);
    EXPECT_EQ(archive.directory().size(), 64u);
    EXPECT_EQ(archive.data().size(), 2u * 2048);
}

TEST(ImgArchive, Ver2HeaderGrowsToASecondSectorAt64Entries) {
    for (const int count : {63, 64}) {
        SCOPED_TRACE(count);
        ImgArchive archive;
        std::vector<std::vector<uint8_t>> contents;
        for (int i = 0; i < count; ++i) {
            contents.push_back(pattern(std::size_t(i) * 37 + 1, uint8_t(i)));
            archive.addEntry("m" + std::to_string(i) + ".dff", contents.back());
        }
        const uint32_t headerSectors = count == 63 ? 1 : 2; // 63 x 32 + 8 = 2024 bytes fit one sector
        EXPECT_EQ(ver2HeaderSectors(count), headerSectors);
        const auto img = archive.finishVer2();
        ASSERT_EQ(img.size(), headerSectors * 2048 + archive.data().size());
        const auto entries = readVer2(img);
        const auto plain = readDir(archive.directory());
        ASSERT_EQ(entries.size(), std::size_t(count));
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(entries[i].offset, plain[i].offset + headerSectors);
            EXPECT_EQ(entries[i].sectors, plain[i].sectors);
            EXPECT_EQ(entries[i].name, "m" + std::to_string(i) + ".dff");
            expectEntryHolds(img, entries[i], contents[i]);
        }
        // Between the directory and the first entry there are only zeros.
        for (std::size_t at = 8 + 32 * std::size_t(count); at < headerSectors * 2048; ++at) ASSERT_EQ(img[at], 0) << at;
    }
}

TEST(ImgArchive, EmptyArchiveStillFinishes) {
    ImgArchive archive;
    const auto ver2 = archive.finishVer2();
    ASSERT_EQ(ver2.size(), 2048u);
    EXPECT_EQ(std::string(ver2.begin(), ver2.begin() + 4), "VER2");
    EXPECT_TRUE(readVer2(ver2).empty());
    EXPECT_TRUE(std::all_of(ver2.begin() + 8, ver2.end(), [](uint8_t b) { return b == 0; }));
    const auto files = std::move(archive).finishSplit();
    EXPECT_TRUE(files.directory.empty());
    EXPECT_TRUE(files.data.empty());
}
