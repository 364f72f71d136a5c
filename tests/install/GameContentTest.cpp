#include <gtest/gtest.h>

#include <fstream>

#include "base/Error.h"
#include "install/GameContent.h"
#include "install/InstallCommit.h"
#include "install/Uninstall.h"
#include "support/GameFolderBuilder.h"
#include "support/TempFolder.h"
#include "Refusal.h"

namespace veldrin::install {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr TargetGame kTargets[] = {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa};

void writeBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void appendLine(const fs::path& path, const std::string& line) { std::ofstream(path, std::ios::binary | std::ios::app) << line << "\r\n"; }

TEST(GameContent, ReadsEveryDefinitionArchiveAndPlacementTheDataFilesName) {
    for (TargetGame target : kTargets) {
        SCOPED_TRACE(std::string(targetGameName(target)));
        TempFolder folder("game");
        const test::BuiltGameFolder built = test::buildGameFolder(folder.path(), target);
        const GameContent content = readGameContent(recogniseGameFolder(folder.path()));
        const test::GameFolderContents& want = built.contents;
        EXPECT_EQ(content.usedIds, want.ids);
        EXPECT_EQ(content.modelNames, want.modelNames);
        EXPECT_EQ(content.dictionaryNames, want.dictionaryNames);
        EXPECT_EQ(content.archiveEntries, want.archiveEntries);
        EXPECT_EQ(content.highestId, *want.ids.rbegin());
        EXPECT_EQ(content.dictionaries, int(want.dictionaryNames.size()));
        EXPECT_EQ(content.placements, want.placements);
        EXPECT_EQ(content.collisionFiles, want.collisionFiles);
        EXPECT_EQ(content.archives, want.archives);
        EXPECT_EQ(content.archiveLines, want.archiveLines);
        EXPECT_EQ(content.ideFiles, want.ideFiles);
        EXPECT_EQ(content.iplFiles, want.iplFiles);
    }
}

TEST(GameContent, LeavesOutWhatAnEarlierInstallAdded) {
    TempFolder folder("game");
    const test::BuiltGameFolder built = test::buildGameFolder(folder.path(), TargetGame::GtaVc);
    const GameFolder game = recogniseGameFolder(folder.path());
    const GameContent before = readGameContent(game);
    // An install's own IDE with a made-up id, named inside the block.
    const fs::path staging = makeStagingFolder(game);
    writeBytes(staging / "town.ide", "objs\r\n4000, town1, towntxd, 1, 100, 0\r\nend\r\n");
    commitInstall(game, {staging, {{"IDE", "veldrin\\town.ide"}}, {}}, {});
    const GameContent after = readGameContent(game);
    EXPECT_EQ(after.usedIds, before.usedIds);
    EXPECT_EQ(after.modelNames, before.modelNames);
    EXPECT_EQ(after.ideFiles, before.ideFiles);
}

TEST(GameContent, RefusesDamagedFilesNamingThem) {
    const struct {
        const char* name;
        void (*damage)(const test::BuiltGameFolder&);
        const char* said;
    } cases[] = {
        {"missing IDE", [](const test::BuiltGameFolder& b) { appendLine(b.gameDataFile, "IDE DATA\\MAPS\\GONE.IDE"); }, "GONE.IDE"},
        {"line without a path", [](const test::BuiltGameFolder& b) { appendLine(b.gameDataFile, "IPL"); }, "names no file"},
        {"path out of the folder", [](const test::BuiltGameFolder& b) { appendLine(b.gameDataFile, "IDE ..\\..\\etc\\passwd"); }, "not in the game folder"},
        {"id not a number",
         [](const test::BuiltGameFolder& b) { appendLine(b.root / "data/maps/Generic.ide", "objs\r\nbench2, bench2, generic, 1, 50, 0\r\nend"); },
         "Generic.ide"},
        {"id too high",
         [](const test::BuiltGameFolder& b) { appendLine(b.root / "data/maps/Generic.ide", "objs\r\n1000000, big, generic, 1, 50, 0\r\nend"); },
         "999999"},
        {"definition of two fields",
         [](const test::BuiltGameFolder& b) { appendLine(b.root / "data/maps/Generic.ide", "objs\r\n1300, short\r\nend"); }, "line 7"},
        {"zero byte in an IDE", [](const test::BuiltGameFolder& b) { writeBytes(b.root / "data/maps/Generic.ide", std::string("objs\r\n1\0 x", 10)); }, "zero byte"},
        {"directory not whole entries", [](const test::BuiltGameFolder& b) { appendLine(b.root / "models/Extra.dir", "x"); }, "Extra.dir"},
        {"entry past the archive's end",
         [](const test::BuiltGameFolder& b) { fs::resize_file(b.root / "models/Extra.img", 2048); }, "extra.txd"},
        {"archive without its directory", [](const test::BuiltGameFolder& b) { fs::remove(b.root / "models/Extra.dir"); }, "Extra.dir"},
        {"game's own archive missing", [](const test::BuiltGameFolder& b) { fs::remove(b.root / "models/gta3.img"); }, "gta3.img"},
    };
    for (const auto& c : cases) {
        TempFolder folder("game");
        const test::BuiltGameFolder built = test::buildGameFolder(folder.path(), TargetGame::Gta3);
        c.damage(built);
        const std::string refusal = refusalOf([&] { readGameContent(recogniseGameFolder(folder.path())); });
        EXPECT_NE(refusal.find(c.said), std::string::npos) << c.name << ": " << refusal;
    }
}

TEST(GameContent, RefusesAVer2DirectoryPastTheArchiveEnd) {
    TempFolder folder("game");
    const test::BuiltGameFolder built = test::buildGameFolder(folder.path(), TargetGame::GtaSa);
    // 100000 entries announced in a file of a few sectors.
    std::string img = "VER2";
    img += std::string("\xa0\x86\x01\x00", 4);
    img.resize(4096, '\0');
    writeBytes(folder / "models/Extra.img", img);
    const std::string refusal = refusalOf([&] { readGameContent(recogniseGameFolder(folder.path())); });
    EXPECT_NE(refusal.find("Extra.img"), std::string::npos) << refusal;
}

} // namespace
} // namespace veldrin::install
