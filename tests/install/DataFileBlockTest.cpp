#include <gtest/gtest.h>

#include "internal/DataFileText.h"

namespace veldrin::install {
namespace {

const std::vector<std::string> kLines{"CDIMAGE veldrin\\veldrin.img", "IDE veldrin\\town.ide", "IPL veldrin\\town.ipl"};

// Splits the text into its lines, each with its line ending, so that endings can be checked.
std::vector<std::string> linesWithEndings(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

TEST(DataFileBlock, AddedAtTheEndAndTakenOutGivesTheFileBackByteForByte) {
    const struct {
        const char* name;
        std::string text;
        const char* ending;
    } cases[] = {
        {"CRLF as shipped", "# data\r\nIDE DATA\\A.IDE\r\nIPL DATA\\A.IPL\r\n", "\r\n"},
        {"LF after an edit", "IDE DATA\\A.IDE\nIPL DATA\\A.IPL\n", "\n"},
        {"last line without an ending", "IDE DATA\\A.IDE\r\nSPLASH loadsc2", "\r\n"},
        {"blank lines at the end", "IDE DATA\\A.IDE\r\n\r\n\r\n", "\r\n"},
        {"empty file", "", "\r\n"},
        {"one line without an ending", "IDE DATA\\A.IDE", "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string with = withBlock(c.text, kLines);
        ASSERT_EQ(with.substr(0, c.text.size()), c.text) << "the file's own text must stay in front";
        ASSERT_EQ(blockLines(with), kLines);
        // Every line of the block ends as the file's lines do, but the last one of a file ending open.
        const std::vector<std::string> lines = linesWithEndings(with.substr(c.text.size()));
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line == std::string(c.ending)) continue; // the line break a file ending open gets first
            EXPECT_EQ(line.substr(line.size() - std::string(c.ending).size()), c.ending) << line;
            EXPECT_EQ(std::count(line.begin(), line.end(), '\r'), std::string(c.ending) == "\r\n" ? 1 : 0) << line;
        }
        const std::optional<std::string> without = withoutBlock(with);
        ASSERT_TRUE(without.has_value());
        EXPECT_EQ(*without, c.text);
        // A second install replaces the block rather than adding one.
        const std::string again = withBlock(with, {"IDE veldrin\\other.ide"});
        EXPECT_EQ(again, withBlock(c.text, {"IDE veldrin\\other.ide"}));
        EXPECT_EQ(withoutBlock(again), c.text);
    }
}

TEST(DataFileBlock, KeepsTheUsersOwnEditsAroundTheBlock) {
    const std::string original = "IDE DATA\\A.IDE\r\nIPL DATA\\A.IPL\r\n";
    std::string edited = withBlock(original, kLines);
    // The user adds lines before and after the block, and changes a line of the game's.
    edited.insert(0, "# my comment\r\n");
    edited += "IDE DATA\\MYMOD.IDE\r\n";
    const std::size_t at = edited.find("A.IPL");
    edited.replace(at, 5, "B.IPL");
    const std::optional<std::string> without = withoutBlock(edited);
    ASSERT_TRUE(without.has_value());
    EXPECT_EQ(*without, "# my comment\r\nIDE DATA\\A.IDE\r\nIPL DATA\\B.IPL\r\nIDE DATA\\MYMOD.IDE\r\n");
}

TEST(DataFileBlock, FileWithoutACompleteBlockIsLeftAlone) {
    for (const std::string& text : {std::string("IDE A\r\n"), std::string(kBlockBegin) + "\r\nIDE veldrin\\x.ide\r\n",
                                   std::string(kBlockEnd) + "\r\n"}) {
        EXPECT_FALSE(withoutBlock(text).has_value()) << text;
        EXPECT_FALSE(blockLines(text).has_value()) << text;
    }
}

TEST(DataFileLines, ReadsKeywordsAndWordsAndTellsTheBlockApart) {
    const std::string text = withBlock("# c\r\n  ide DATA\\A.IDE \r\nCOLFILE 0 MODELS\\G.COL\r\n\r\n", {"IPL veldrin\\t.ipl"});
    const std::vector<DataFileLine> lines = readDataFileLines(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), "t.dat");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].keyword, "IDE");
    EXPECT_EQ(lines[0].words, std::vector<std::string>{"DATA\\A.IDE"});
    EXPECT_EQ(lines[0].number, 2u);
    EXPECT_FALSE(lines[0].inInstallBlock);
    EXPECT_EQ(lines[1].words, (std::vector<std::string>{"0", "MODELS\\G.COL"}));
    EXPECT_EQ(lines[2].keyword, "IPL");
    EXPECT_TRUE(lines[2].inInstallBlock);
}

} // namespace
} // namespace veldrin::install
