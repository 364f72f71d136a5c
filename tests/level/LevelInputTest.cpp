#include "level/LevelInput.h"

#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/FileIO.h"
#include "support/LevelBuilder.h"
#include "support/TempFolder.h"

namespace veldrin::test {
namespace {

TEST(LevelInput, RefusalsNameTheLevelFile) {
    TempFolder dir("veldrin-input");
    std::vector<uint8_t> wrongIdent(64, 0);
    wrongIdent[0] = 'W';
    const std::vector<uint8_t> zlib = deflateBytes(std::vector<uint8_t>(64, 'x'));
    struct Case {
        std::vector<uint8_t> lvz;
        bool folder;
        std::string message;
        std::string reason = {}; // printed after the window's fixed text by the command line
    };
    const std::string lvz = (dir / "town.lvz").string();
    const Case cases[] = {
        {deflateBytes(wrongIdent), false, "town.lvz: This is incorrect LVZ file! Choose another one...",
         "its inflated data opens with 57 00 00 00, not the \"DLRW\" of a Stories level's world; pick the .lvz of a level"},
        {deflateBytes(std::vector<uint8_t>(31, 'D')), false, "town.lvz: This is incorrect LVZ file! Choose another one...",
         "it inflates to 31 bytes, fewer than the 32 of a level's world header"},
        {{'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}, false, "town.lvz is not a valid zlib stream (incorrect header check)"},
        {std::vector<uint8_t>(zlib.begin(), zlib.begin() + 6), false,
         "town.lvz is truncated: its zlib stream ends before its end marker"},
        {{}, true, lvz + ": is a folder"},
    };
    // The IMG is missing too: the LVZ's refusal comes first, whether the IMG is read on a thread or not.
    for (int jobs : {1, 2}) {
        for (const Case& c : cases) {
            std::filesystem::remove_all(dir / "town.lvz");
            if (c.folder) std::filesystem::create_directory(dir / "town.lvz");
            else writeWholeFile(dir / "town.lvz", c.lvz);
            try {
                loadLevel(dir / "town.lvz", dir / "town.IMG", {}, jobs);
                ADD_FAILURE() << c.message;
            } catch (const VeldrinError& e) {
                EXPECT_EQ(std::string(e.what()), c.message) << jobs;
                EXPECT_EQ(e.reason(), c.reason) << jobs;
            }
        }
    }
}

// A level read with the IMG on a second thread is the level read in turn; a missing IMG is named.
TEST(LevelInput, TheImgReadAlongsideGivesTheSameLevel) {
    TempFolder dir("veldrin-input");
    LevelDescription d;
    d.edition = GameVersion::VcsPs2;
    d.resourceCount = 4;
    TestCell cell;
    for (int i = 0; i < 40; ++i) cell.instances.push_back(TestInstance{i, i % 4, i % 4});
    d.cells.push_back(cell);
    const BuiltLevel built = buildLevel(d);
    built.write(dir.path(), "town");
    ASSERT_GT(built.img.size(), 0u);
    const LevelBuffer one = loadLevel(dir / "town.lvz", dir / "town.IMG", {}, 1);
    const LevelBuffer two = loadLevel(dir / "town.lvz", dir / "town.IMG", {}, 2);
    EXPECT_EQ(one.bytes, two.bytes);
    EXPECT_EQ(one.worldBase, two.worldBase);
    EXPECT_EQ(one.worldBase, static_cast<int64_t>(built.img.size()));
    std::filesystem::remove(dir / "town.IMG");
    for (int jobs : {1, 2}) {
        try {
            loadLevel(dir / "town.lvz", dir / "town.IMG", {}, jobs);
            ADD_FAILURE() << "no IMG";
        } catch (const VeldrinError& e) {
            EXPECT_EQ(std::string(e.what()), (dir / "town.IMG").string() + ": no such file");
        }
    }
}

// A stream inflates up to its limit and is refused one byte past it, before more is held.
TEST(LevelInput, InflationStopsAtItsLimit) {
    const std::vector<uint8_t> zeros(300000, 0);
    const std::vector<uint8_t> stream = deflateBytes(zeros);
    EXPECT_EQ(inflateStream(stream, "GAME.DTZ", zeros.size()), zeros);
    try {
        inflateStream(stream, "GAME.DTZ", zeros.size() - 1);
        ADD_FAILURE() << "inflated past its limit";
    } catch (const VeldrinError& e) {
        EXPECT_EQ(std::string(e.what()), "GAME.DTZ inflates past 299999 bytes, more than its 32-bit offsets can address");
    }
}

} // namespace
} // namespace veldrin::test
