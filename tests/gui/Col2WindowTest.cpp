#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstring>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "ToolWindowSupport.h"
#include "base/FileIO.h"
#include "collision/ColConv.h"
#include "gui/PathText.h"
#include "support/CollisionBuilder.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

TestColModel sphereModel(float radius) {
    TestColModel m;
    m.radius = radius;
    m.spheres = {{{1, 2, 3}, radius, 5, 1}};
    m.vertices = {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}};
    m.faces = {{{0, 6, 12}, 2}};
    return m;
}

// Three entries whose model indexes do not follow their places in the table.
std::vector<uint8_t> threeModels(StoriesEdition edition) {
    return buildCol2({{40, sphereModel(1)}, {7, TestColModel{}}, {19, sphereModel(3)}}, edition);
}

// The names of the "COLL" records of a PC collision file, read from the layout: "COLL", the size of
// the rest, then a 20-byte name field.
QStringList recordNames(const std::vector<uint8_t>& col) {
    QStringList names;
    for (std::size_t at = 0; at + 28 <= col.size();) {
        if (std::memcmp(col.data() + at, "COLL", 4) != 0) return names << "?";
        uint32_t size = 0;
        std::memcpy(&size, col.data() + at + 4, 4);
        const char* name = reinterpret_cast<const char*>(col.data() + at + 8);
        names << QString::fromLatin1(name, static_cast<qsizetype>(strnlen(name, 20)));
        at += 8 + std::size_t{size};
    }
    return names;
}

// Chooses `file` through "Browse...", which waits on the worker's conversion; true once it has ended.
bool convertThroughTheWindow(Col2Window& window, FileChoices& choices, const fs::path& file) {
    choices.answers = {toQString(file)};
    window.chooseFile = choices.chooser();
    auto* browse = child<QPushButton>(window, "BrowseButton");
    const bool ran = runThroughTheWindow(window, browse, [&] { return window.isConverting() && !browse->isEnabled(); });
    return ran && !window.isConverting() && browse->isEnabled();
}

} // namespace

class Col2WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsHiddenWithLcsDownAndExactlyOneButtonDown() {
        MainWindow w;
        Col2Window& c = *w.col2Window();
        QVERIFY(!c.isVisible());
        QCOMPARE(c.windowTitle(), QString("COL2 to COL Converter"));
        QCOMPARE(child<QLabel>(c, "StatusPanel")->text(), QString("Ready..."));
        QVERIFY(child<QPushButton>(c, "BrowseButton")->font().bold());
        auto* lcs = child<QAbstractButton>(c, "LcsButton");
        auto* vcs = child<QAbstractButton>(c, "VcsButton");
        QVERIFY(lcs->isChecked() && !vcs->isChecked());
        QCOMPARE(c.edition(), StoriesEdition::LCS);
        vcs->click();
        QVERIFY(!lcs->isChecked() && vcs->isChecked());
        QCOMPARE(c.edition(), StoriesEdition::VCS);
        vcs->click(); // the button that is down stays down
        QVERIFY(!lcs->isChecked() && vcs->isChecked());
        lcs->click();
        QCOMPARE(c.edition(), StoriesEdition::LCS);
    }

    void theMenuItemOpensItInPlaceAndHoldsTheMainWindow() {
        MainWindow w;
        Col2Window& c = *w.col2Window();
        QCOMPARE(openThroughTheMenu(w, c, "COL2 to COL converter", QPoint(0, 200)), QString());
        QCOMPARE(closeAndRelease(w, c), QString());
    }

    // The records come in table order named by place, read in the edition whose button is down; a
    // second conversion replaces the first output.
    void aConversionThroughTheWindowReadsTheChosenEdition() {
        TempFolder dir("veldrin-gui");
        const std::vector<uint8_t> bytes = threeModels(StoriesEdition::VCS);
        const fs::path file = dir.path() / "models.col2";
        writeWholeFile(file, bytes);
        writeWholeFile(dir.path() / "models.col2.col", std::string("old output"));
        const std::vector<uint8_t> expected = convertCol2(bytes, StoriesEdition::VCS).col;
        bool lcsReadsTheSame = false;
        try {
            lcsReadsTheSame = convertCol2(bytes, StoriesEdition::LCS).col == expected;
        } catch (const std::exception&) {
        }
        QVERIFY(!lcsReadsTheSame); // so the output tells which edition was used

        MainWindow w;
        MessageLog log(w);
        Col2Window& c = *w.col2Window();
        toolMenuItem(w, "COL2 to COL converter")->trigger();
        child<QAbstractButton>(c, "VcsButton")->click();
        FileChoices choices;
        QVERIFY(convertThroughTheWindow(c, choices, file));
        QCOMPARE(choices.filters, QStringList{"Stories collision files (*.col2 *.COL2)"});
        QCOMPARE(log.messages, QStringList{});
        QCOMPARE(child<QLabel>(c, "StatusPanel")->text(), QString("Done!"));
        const std::vector<uint8_t> written = readWholeFile(dir.path() / "models.col2.col");
        QCOMPARE(recordNames(written), (QStringList{"col0", "col1", "col2"}));
        QVERIFY(written == expected);

        // Closing and reopening keeps the edition.
        c.close();
        toolMenuItem(w, "COL2 to COL converter")->trigger();
        QCOMPARE(c.edition(), StoriesEdition::VCS);
        fs::remove(dir.path() / "models.col2.col");
        QVERIFY(convertThroughTheWindow(c, choices, file));
        QVERIFY(readWholeFile(dir.path() / "models.col2.col") == expected);
    }

    void cancelledAndRefusedFilesWriteNothing() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
        MessageLog log(w);
        Col2Window& c = *w.col2Window();
        FileChoices choices;
        c.chooseFile = choices.chooser();
        auto* status = child<QLabel>(c, "StatusPanel");

        child<QPushButton>(c, "BrowseButton")->click(); // cancelled
        QVERIFY(!c.isConverting());
        QCOMPARE(status->text(), QString("Ready..."));

        // Not a COL2 file: the panel says so, with no message.
        const fs::path other = dir.path() / "other.col2";
        writeWholeFile(other, std::string("COLL and more bytes than four"));
        QVERIFY(convertThroughTheWindow(c, choices, other));
        QCOMPARE(status->text(), QString("Invalid COL2 file"));
        QCOMPARE(log.messages, QStringList{});
        QVERIFY(!fs::exists(dir.path() / "other.col2.col"));

        // A model beyond the end of the file: "Error!" with the reason, then "Done!", and no output.
        std::vector<uint8_t> cut = threeModels(StoriesEdition::LCS);
        cut.resize(cut.size() - 20);
        const fs::path damaged = dir.path() / "cut.col2";
        writeWholeFile(damaged, cut);
        QVERIFY(convertThroughTheWindow(c, choices, damaged));
        QCOMPARE(log.messages.size(), 1);
        QVERIFY2(log.messages[0].startsWith("Error!\n") && log.messages[0].size() > 8, qPrintable(log.messages[0]));
        QCOMPARE(status->text(), QString("Done!"));
        QVERIFY(!fs::exists(dir.path() / "cut.col2.col"));

        // A file that is gone by the time it is read.
        QVERIFY(convertThroughTheWindow(c, choices, dir.path() / "gone.col2"));
        QCOMPARE(log.messages.size(), 2);
        QVERIFY(log.messages[1].startsWith("Error!\n"));
        QCOMPARE(status->text(), QString("Done!"));
    }
};

VELDRIN_GUI_TEST(Col2WindowTest)
#include "Col2WindowTest.moc"
