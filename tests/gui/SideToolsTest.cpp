#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <array>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "base/FileIO.h"
#include "gui/PathText.h"
#include "support/CollisionBuilder.h"
#include "support/TempFolder.h"
#include "tools/PlacementDump.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// The four cull-mode bytes of each release, as decimal offsets.
constexpr std::array<std::size_t, 4> k10{826777, 826205, 826120, 825951};
constexpr std::array<std::size_t, 4> k11{826809, 826237, 826152, 825983};

// A stand-in executable: a pattern that never holds 1 or 2, with `value` at the given locations.
std::vector<uint8_t> executable(const std::array<std::size_t, 4>& locations, uint8_t value) {
    std::vector<uint8_t> bytes(900000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(3 + i % 250);
    for (std::size_t at : locations) bytes[at] = value;
    return bytes;
}

// The process's current folder for the life of the value.
struct CurrentFolder {
    QString before = QDir::currentPath();
    explicit CurrentFolder(const fs::path& folder) { QDir::setCurrent(toQString(folder)); }
    ~CurrentFolder() { QDir::setCurrent(before); }
};

TestDtzInstance at(int model, float x, float y, float z) {
    TestDtzInstance i;
    i.model = model;
    i.position = {x, y, z};
    return i;
}

} // namespace

class SideToolsTest : public QObject {
    Q_OBJECT
private slots:
    void thePatcherTellsEachOutcome() {
        TempFolder dir("veldrin-gui");
        const fs::path v10 = dir.path() / "v10" / "gta-vc.exe";
        const fs::path v11 = dir.path() / "v11" / "gta-vc.exe";
        const fs::path other = dir.path() / "gta-vc.exe";
        for (const fs::path& folder : {v10.parent_path(), v11.parent_path()}) fs::create_directory(folder);
        writeWholeFile(v10, executable(k10, 2));
        writeWholeFile(v11, executable(k11, 2));
        writeWholeFile(other, std::string("not an executable"));

        MainWindow w;
        MessageLog log(w);
        FileChoices choices;
        choices.answers = {toQString(v10), toQString(v10), toQString(v11), toQString(other), QString(),
                           toQString(dir.path() / "missing.exe")};
        w.chooseFile = choices.chooser();
        QAction* patcher = toolMenuItem(w, "VC backface culling patcher");
        for (int i = 0; i < 4; ++i) patcher->trigger();
        QCOMPARE(log.messages, (QStringList{"GTA VC V1.0 executable patched successfully!",
                                            "Seems this exe has been already patched...",
                                            "GTA VC V1.1 executable patched successfully!", "Invalid executable."}));
        QCOMPARE(choices.filters.front(), QString("gta-vc.exe (gta-vc.exe)"));
        QVERIFY(readWholeFile(v10) == executable(k10, 1));
        QVERIFY(readWholeFile(v11) == executable(k11, 1));
        QCOMPARE(readWholeFile(other).size(), std::size_t{17});

        patcher->trigger(); // cancelled: nothing to say
        QCOMPARE(log.messages.size(), 4);
        patcher->trigger(); // a file that cannot be read is reported, not a crash
        QCOMPARE(log.messages.size(), 5);
        QVERIFY(!log.messages.back().isEmpty());
        QVERIFY(w.isEnabled());
    }

    // "Button1" dumps the buildings and treadables of the chosen file into the current folder, with
    // the main window's ID offset and level name.
    void button1WritesThePlacementDumpWithTheWindowsIdOffsetAndLevel() {
        TempFolder dir("veldrin-gui");
        TestDtz data;
        data.modelCount = 12;
        data.buildings.instances = {at(7, 1, 2, 3), at(10, 4, 5, 6)};
        data.treadables.instances = {at(7, -1, 0, 0.5f)};
        const std::vector<uint8_t> gameData = buildDtzData(data, StoriesEdition::LCS);
        const fs::path input = dir.path() / "GAME.DAT";
        writeWholeFile(input, gameData);
        writeWholeFile(dir.path() / "INDUST.LVZ", std::string("lvz"));
        writeWholeFile(dir.path() / "INDUST.IMG", std::string("img"));
        const fs::path out = dir.path() / "out";
        fs::create_directory(out);
        const CurrentFolder here(out);

        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(dir.path() / "INDUST.LVZ"));
        child<QCheckBox>(w, "GenerateIDE")->click();
        child<QLineEdit>(w, "IDoffset")->setText("500");
        FileChoices choices;
        choices.answers = {QString(), toQString(input)};
        w.chooseFile = choices.chooser();
        auto* button1 = child<QPushButton>(w, "Button1");
        button1->click(); // cancelled
        QVERIFY(!fs::exists(out / "lcs.ide"));
        button1->click();
        QCOMPARE(log.messages, QStringList{});

        PlacementDumpOptions options;
        options.idOffset = 500;
        options.levelName = "indust";
        const PlacementDump expected = dumpPlacements(gameData, options);
        const std::vector<uint8_t> ide = readWholeFile(out / "lcs.ide");
        const std::vector<uint8_t> ipl = readWholeFile(out / "lcs.ipl");
        QCOMPARE(std::string(ide.begin(), ide.end()), expected.ide);
        QCOMPARE(std::string(ipl.begin(), ipl.end()), expected.ipl);
        QVERIFY(expected.ide.starts_with("#indust.ide generated by Veldrin v1.2\r\nobjs\r\n"));
        QVERIFY(expected.ide.find("\r\n507, col7, generic, 1, 299, 0\r\n") != std::string::npos);

        // A file without pools where the header says is refused with a message; the old dump stays.
        const fs::path cut = dir.path() / "CUT.DAT";
        writeWholeFile(cut, std::vector<uint8_t>(gameData.begin(), gameData.begin() + 64));
        choices.answers = {toQString(cut)};
        button1->click();
        QCOMPARE(log.messages.size(), 1);
        QVERIFY(!log.messages[0].isEmpty());
        QVERIFY(readWholeFile(out / "lcs.ipl") == ipl);
    }
};

VELDRIN_GUI_TEST(SideToolsTest)
#include "SideToolsTest.moc"
