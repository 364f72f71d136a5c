#include "app/options/ConversionOptions.h"

#include <gtest/gtest.h>

#include "base/FileIO.h"
#include "support/TempFolder.h"

namespace veldrin::test {
namespace {

TEST(LevelPick, FindsTheImgWhateverTheCaseOfItsExtension) {
    struct Case {
        std::vector<std::string> files; // beside town.lvz
        std::string paired;
    };
    const Case cases[] = {
        {{"town.IMG"}, "town.IMG"},
        {{"town.img"}, "town.img"},
        {{"town.Img", "town.iMG"}, "town.Img"},  // the first by name
        {{"town.img", "town.IMG"}, "town.IMG"},  // the usual spelling wins
        {{"Town.img", "town.imgx"}, "town.IMG"}, // the name must match exactly; nothing found keeps ".IMG"
        {{}, "town.IMG"},
    };
    for (const Case& c : cases) {
        TempFolder dir("veldrin-pick");
        for (const std::string& f : c.files) writeWholeFile(dir / f, std::string_view("x"));
        ConversionOptions o;
        applyLevelPick(o, dir / "town.lvz");
        EXPECT_EQ(o.imgPath, dir / c.paired);
        EXPECT_EQ(o.levelName, "town");
    }
}

} // namespace
} // namespace veldrin::test
