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

} // namespace
} // namespace veldrin::test
