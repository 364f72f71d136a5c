#include <gtest/gtest.h>

#include <fstream>

#include "base/Error.h"
#include "install/GameFolder.h"
#include "support/GameFolderBuilder.h"
#include "support/TempFolder.h"
#include "Refusal.h"

namespace veldrin::install {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

void touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#\r\n";
}

TEST(GameFolder, RecognisesEachTargetFromItsDataFile) {
    const struct {
        TargetGame target;
        const char* dataFile;
    } cases[] = {{TargetGame::Gta3, "gta3.dat"}, {TargetGame::GtaVc, "gta_vc.dat"}, {TargetGame::GtaSa, "gta.dat"}};
    for (const auto& c : cases) {
        TempFolder folder("game");
        test::buildGameFolder(folder.path(), c.target);
        const GameFolder game = recogniseGameFolder(folder.path());
        EXPECT_EQ(game.target, c.target) << c.dataFile;
        EXPECT_EQ(game.gameDataFile.filename(), c.dataFile);
        EXPECT_EQ(game.defaultDataFile.filename(), "default.dat");
    }
}

TEST(GameFolder, FindsDataFilesWhateverTheirLetterCase) {
    TempFolder folder("game");
    touch(folder / "DATA/Default.dat");
    touch(folder / "DATA/GTA_VC.DAT");
    const GameFolder game = recogniseGameFolder(folder.path());
    EXPECT_EQ(game.target, TargetGame::GtaVc);
    EXPECT_TRUE(fs::exists(game.gameDataFile));
}

TEST(GameFolder, RefusesFoldersThatAreNotOneGameNamingWhatItLookedFor) {
    const struct {
        const char* name;
        std::vector<const char*> files;
        const char* said;
    } cases[] = {
        {"empty folder", {}, "found neither"},
        {"default.dat alone", {"data/default.dat"}, "default.dat alone"},
        {"game file alone", {"data/gta3.dat"}, "gta3.dat alone"},
        {"two games", {"data/default.dat", "data/gta3.dat", "data/gta.dat"}, "two games"},
    };
    for (const auto& c : cases) {
        TempFolder folder("game");
        for (const char* file : c.files) touch(folder / file);
        const std::string message = refusalOf([&] { recogniseGameFolder(folder.path()); });
        EXPECT_NE(message.find(c.said), std::string::npos) << c.name << ": " << message;
        if (std::string(c.name) != "two games") {
            EXPECT_NE(message.find("data/gta_vc.dat"), std::string::npos) << message;
        }
    }
    EXPECT_THROW(recogniseGameFolder("/no/such/folder/at/all"), VeldrinError);
}

} // namespace
} // namespace veldrin::install
