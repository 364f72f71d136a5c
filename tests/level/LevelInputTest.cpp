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
    };
    const std::string lvz = (dir / "town.lvz").string();
    const Case cases[] = {
        {deflateBytes(wrongIdent), false, "town.lvz: This is incorrect LVZ file! Choose another one..."},
        {{'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}, false, "town.lvz is not a valid zlib stream (incorrect header check)"},
        {std::vector<uint8_t>(zlib.begin(), zlib.begin() + 6), false,
         "town.lvz is truncated: its zlib stream ends before its end marker"},
        {{}, true, lvz + ": is a folder"},
    };
    writeWholeFile(dir / "town.IMG", std::string_view("img"));
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir / "town.lvz");
        if (c.folder) std::filesystem::create_directory(dir / "town.lvz");
        else writeWholeFile(dir / "town.lvz", c.lvz);
        try {
            loadLevel(dir / "town.lvz", dir / "town.IMG");
            ADD_FAILURE() << c.message;
        } catch (const VeldrinError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
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
