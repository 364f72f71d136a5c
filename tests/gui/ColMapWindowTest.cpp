#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "ToolWindowSupport.h"
#include "base/FileIO.h"
#include "gui/ElidedLabel.h"
#include "gui/PathText.h"
#include "support/CollisionBuilder.h"
#include "support/LevelBuilder.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

const char* const kFileButtons[] = {"BrowseDtz", "BrowseImg", "BrowseDff", "ClearDff"};

// GAME.DTZ, its IMG and a blank DFF side by side. Model 12 is placed in the buildings pool at (10, 20, 5);
// model 3 has its record in the IMG and is placed among the treadables and dummies.
struct MapFiles {
    fs::path dtz, img, dff;
    explicit MapFiles(const fs::path& folder) {
        TestDtz data;
        data.modelCount = 16;
        data.collisions = {{12, boxModel(2)}};
        data.buildings.instances = {placedAt(12, 10, 20, 5)};
        data.treadables.instances = {placedAt(3, -1, -2, -3)};
        data.dummies.instances = {placedAt(3, 7, 8, 9), placedAt(12, 100, 0, 0)};
        dtz = folder / "GAME.DTZ";
        img = folder / "GAME.IMG";
        dff = folder / "blank.dff";
        writeWholeFile(dtz, buildDtz(data, StoriesEdition::LCS));
        writeWholeFile(img, buildColImg({buildCol2({{3, boxModel(5)}}, StoriesEdition::LCS)}));
        writeWholeFile(dff, std::vector<uint8_t>(3000, 0x5A));
    }
};

// Chooses each file through its "Browse..." button.
void chooseFiles(ColMapWindow& window, FileChoices& choices, const MapFiles& files) {
    choices.answers = {toQString(files.dtz), toQString(files.img), toQString(files.dff)};
    window.chooseFile = choices.chooser();
    for (const char* button : {"BrowseDtz", "BrowseImg", "BrowseDff"}) child<QPushButton>(window, button)->click();
}

bool convert(ColMapWindow& window) { return runThroughTheWindow(window, child<QPushButton>(window, "ProcessButton")); }

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

QStringList linesOf(const fs::path& file) {
    const std::vector<uint8_t> bytes = readWholeFile(file);
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
        .split("\r\n", Qt::SkipEmptyParts);
}

} // namespace

class ColMapWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsHiddenWithItsDefaults() {
        MainWindow w;
        ColMapWindow& c = *w.colMapWindow();
        QVERIFY(!c.isVisible());
        QCOMPARE(c.windowTitle(), QString("Collision map converter"));
        QCOMPARE(child<QLabel>(c, "DtzLabel")->text(), QString("DTZ: none"));
        QCOMPARE(child<QLabel>(c, "ImgLabel")->text(), QString("IMG: none"));
        QCOMPARE(child<QLabel>(c, "DffLabel")->text(), QString("DFF: none"));
        QCOMPARE(child<QLabel>(c, "StatusText")->text(), QString("Ready..."));
        QVERIFY(child<QRadioButton>(c, "GtaLcs")->isChecked());
        QVERIFY(child<QRadioButton>(c, "Gta3")->isChecked());
        for (const char* pool : {"Buildings", "DynamicObjs", "Treadables"}) {
            QVERIFY(child<QCheckBox>(c, pool)->isChecked());
            QVERIFY(child<QCheckBox>(c, pool)->isEnabled());
        }
        QCOMPARE(child<QLineEdit>(c, "IDoffset")->text(), QString("1000"));
        for (const char* axis : {"MapOffsetX", "MapOffsetY", "MapOffsetZ"}) {
            QCOMPARE(child<QLineEdit>(c, axis)->text(), QString("0.0"));
        }
        for (const char* button : kFileButtons) QVERIFY(child<QPushButton>(c, button)->isEnabled());
        QVERIFY(!child<QPushButton>(c, "ProcessButton")->isEnabled()); // no files yet

        const ColMapOptions o = c.options();
        const ColMapOptions defaults;
        QCOMPARE(o.edition, defaults.edition);
        QCOMPARE(o.target, defaults.target);
        QVERIFY(o.buildings && o.dynamicObjects && o.treadables);
        QCOMPARE(o.idOffset, 1000);
        QCOMPARE(o.mapOffset, defaults.mapOffset);
        const ColMapPaths p = c.paths();
        QVERIFY(p.dtz.empty() && p.img.empty() && p.blankDff.empty());
    }

    void treadablesAreOfferedForLcsOnly() {
        ColMapWindow c;
        auto* treadables = child<QCheckBox>(c, "Treadables");
        child<QRadioButton>(c, "GtaVcs")->click();
        QVERIFY(!treadables->isEnabled());
        QVERIFY(treadables->isChecked()); // kept for a return to LCS
        QCOMPARE(c.options().edition, StoriesEdition::VCS);
        child<QRadioButton>(c, "GtaLcs")->click();
        QVERIFY(treadables->isEnabled());
        child<QCheckBox>(c, "Buildings")->click();
        child<QCheckBox>(c, "DynamicObjs")->click();
        child<QRadioButton>(c, "GtaSa")->click();
        const ColMapOptions o = c.options();
        QCOMPARE(o.edition, StoriesEdition::LCS);
        QCOMPARE(o.target, TargetGame::GtaSa);
        QVERIFY(!o.buildings && !o.dynamicObjects && o.treadables);
    }

    void idOffsetTurnsAnythingButAWholeNumberIntoZero() {
        ColMapWindow c;
        auto* edit = child<QLineEdit>(c, "IDoffset");
        for (const char* bad : {"-1", "12a", "", "2147483648"}) {
            edit->setText("7");
            edit->setText(bad);
            QCOMPARE(edit->text(), QString(bad)); // free typing until editing ends
            emit edit->editingFinished();
            QCOMPARE(edit->text(), QString("0"));
            QCOMPARE(c.options().idOffset, 0);
        }
        edit->setText("2500");
        QCOMPARE(c.options().idOffset, 2500);
    }

    static QStringList offsetTexts(ColMapWindow& c) {
        return {child<QLineEdit>(c, "MapOffsetX")->text(), child<QLineEdit>(c, "MapOffsetY")->text(),
                child<QLineEdit>(c, "MapOffsetZ")->text()};
    }

    // The menu item hands over the main window's map offsets as typed, whether or not they are numbers.
    void theMenuItemCopiesTheMapOffsetsAndHoldsTheMainWindow() {
        MainWindow w;
        ColMapWindow& c = *w.colMapWindow();
        child<QLineEdit>(c, "MapOffsetZ")->setText("99");
        child<QCheckBox>(w, "GenerateIDE")->click();
        child<QLineEdit>(w, "MapOffsetX")->setText("1.5");
        child<QLineEdit>(w, "MapOffsetY")->setText("-2");
        child<QLineEdit>(w, "MapOffsetZ")->setText("1,5");
        child<QCheckBox>(w, "GenerateIDE")->click(); // disabled edits are copied all the same

        QCOMPARE(openThroughTheMenu(w, c, "Collision map converter", QPoint(0, 100)), QString());
        QCOMPARE(offsetTexts(c), (QStringList{"1.5", "-2", "1,5"}));
        QCOMPARE(closeAndRelease(w, c), QString());

        // Each opening copies them again, over what was typed here.
        child<QLineEdit>(c, "MapOffsetX")->setText("5");
        child<QLineEdit>(w, "MapOffsetY")->setText("3");
        toolMenuItem(w, "Collision map converter")->trigger();
        QCOMPARE(offsetTexts(c), (QStringList{"1.5", "3", "1,5"}));
        c.close();
    }

    void theFileButtonsChooseAndClearTheFiles() {
        TempFolder dir("veldrin-gui");
        const MapFiles files(dir.path());
        ColMapWindow c;
        FileChoices choices;
        // "Convert!" waits for GAME.DTZ and its IMG; the blank DFF is optional.
        auto* convertButton = child<QPushButton>(c, "ProcessButton");
        choices.answers = {toQString(files.img)};
        c.chooseFile = choices.chooser();
        child<QPushButton>(c, "BrowseImg")->click();
        QVERIFY(!convertButton->isEnabled());
        chooseFiles(c, choices, files);
        QVERIFY(convertButton->isEnabled());
        choices.filters.removeFirst();
        QCOMPARE(choices.filters,
                 (QStringList{"GAME.DTZ (*.DTZ *.dtz)", "IMG archive (*.IMG *.img)", "Blank DFF file (*.dff *.DFF)"}));
        QCOMPARE(child<ElidedLabel>(c, "DtzLabel")->fullText(), QString("DTZ: GAME.DTZ"));
        QCOMPARE(child<ElidedLabel>(c, "ImgLabel")->fullText(), QString("IMG: GAME.IMG"));
        QCOMPARE(child<ElidedLabel>(c, "DffLabel")->fullText(), QString("DFF: blank.dff"));
        ColMapPaths p = c.paths();
        QCOMPARE(p.dtz, files.dtz);
        QCOMPARE(p.img, files.img);
        QCOMPARE(p.blankDff, files.dff);
        QCOMPARE(colMapOutputFolder(p), dir.path() / "colmap");

        // A cancelled dialog keeps the file chosen before.
        child<QPushButton>(c, "BrowseDtz")->click();
        QCOMPARE(choices.filters.size(), 4);
        QCOMPARE(c.paths().dtz, files.dtz);
        QCOMPARE(child<ElidedLabel>(c, "DtzLabel")->fullText(), QString("DTZ: GAME.DTZ"));

        child<QPushButton>(c, "ClearDff")->click();
        QVERIFY(convertButton->isEnabled());
        QCOMPARE(child<QLabel>(c, "DffLabel")->text(), QString("DFF: none"));
        p = c.paths();
        QVERIFY(p.blankDff.empty());
        QCOMPARE(p.dtz, files.dtz);
        QCOMPARE(p.img, files.img);
    }

    // "Convert!" runs on a worker with the buttons held, and writes what the same settings give the core.
    void aWholeRunThroughTheWindow() {
        TempFolder dir("veldrin-gui");
        const MapFiles files(dir.path());
        MainWindow w;
        MessageLog log(w);
        ColMapWindow& c = *w.colMapWindow();
        toolMenuItem(w, "Collision map converter")->trigger();
        FileChoices choices;
        chooseFiles(c, choices, files);
        child<QRadioButton>(c, "GtaVc")->click();

        QSignalSpy ended(&c, &ColMapWindow::conversionEnded);
        child<QPushButton>(c, "ProcessButton")->click();
        QVERIFY(c.isConverting());
        QVERIFY(!child<QPushButton>(c, "ProcessButton")->isEnabled());
        for (const char* button : kFileButtons) QVERIFY(!child<QPushButton>(c, button)->isEnabled());
        QVERIFY(ended.wait(kRunTimeoutMs));

        QVERIFY(!c.isConverting());
        QVERIFY(child<QPushButton>(c, "ProcessButton")->isEnabled());
        for (const char* button : kFileButtons) QVERIFY(child<QPushButton>(c, button)->isEnabled());
        QCOMPARE(log.messages, QStringList{});
        QCOMPARE(child<QLabel>(c, "StatusText")->text(), QString("Done!"));
        auto* bar = child<QProgressBar>(c, "ProgressBar1");
        QVERIFY(bar->maximum() > 1);
        QCOMPARE(bar->value(), bar->maximum());

        const fs::path out = dir.path() / "colmap";
        QCOMPARE(namesIn(out), (std::vector<std::string>{"COLMAP.DIR", "COLMAP.IMG", "ColMap.IDE", "ColMap.IPL",
                                                         "ColMap.col"}));
        const QStringList ipl = linesOf(out / "ColMap.IPL");
        QVERIFY2(ipl.contains("1001, colmap12, 0, 10.000, 20.000, 5.000, 1, 1, 1, 0, 0, 0, 1"),
                 qPrintable(ipl.join('|')));
        QVERIFY(linesOf(out / "ColMap.IDE").contains("1000, colmap3, generic, 1, 299, 0"));

        ColMapPaths direct{files.dtz, files.img, files.dff, dir.path() / "direct"};
        ColMapOptions settings;
        settings.target = TargetGame::GtaVc;
        runColMapConverter(direct, settings);
        QCOMPARE(namesIn(dir.path() / "direct" / "colmap"), namesIn(out));
        for (const std::string& name : namesIn(out)) {
            QVERIFY2(readWholeFile(out / name) == readWholeFile(dir.path() / "direct" / "colmap" / name), name.c_str());
        }
    }

    // Each refusal is told in the core's words; nothing is written and the window is ready again.
    void refusedRunsAreReported() {
        TempFolder dir("veldrin-gui");
        const MapFiles files(dir.path());
        writeWholeFile(dir.path() / "OTHER.DTZ", deflateBytes(std::vector<uint8_t>(64, 'X')));
        MainWindow w;
        MessageLog log(w);
        ColMapWindow& c = *w.colMapWindow();
        FileChoices choices;
        c.chooseFile = choices.chooser();

        choices.answers = {toQString(files.dtz), toQString(dir.path() / "NOTHING.IMG")};
        child<QPushButton>(c, "BrowseDtz")->click();
        child<QPushButton>(c, "BrowseImg")->click();
        child<QLineEdit>(c, "MapOffsetY")->setText("1,5");
        QVERIFY(convert(c));
        child<QLineEdit>(c, "MapOffsetY")->setText("0.0");
        QVERIFY(convert(c)); // the IMG chosen is gone
        choices.answers = {toQString(dir.path() / "OTHER.DTZ"), toQString(files.img)};
        child<QPushButton>(c, "BrowseDtz")->click();
        child<QPushButton>(c, "BrowseImg")->click();
        QVERIFY(convert(c)); // inflates to something else than game data

        QCOMPARE(log.messages, (QStringList{"Global map offset Y error!", "Invalid IMG file", "Invalid DTZ file"}));
        QVERIFY(!fs::exists(dir.path() / "colmap"));
        QVERIFY(child<QPushButton>(c, "ProcessButton")->isEnabled());
        QVERIFY(child<QPushButton>(c, "BrowseDtz")->isEnabled());
    }

    // Files and settings stay through closing and reopening, for every run after.
    void settingsLastAcrossOpeningsAndRuns() {
        TempFolder dir("veldrin-gui");
        const MapFiles files(dir.path());
        MainWindow w;
        MessageLog log(w);
        ColMapWindow& c = *w.colMapWindow();
        FileChoices choices;
        chooseFiles(c, choices, files);
        child<QPushButton>(c, "ClearDff")->click();
        child<QRadioButton>(c, "GtaVcs")->click();
        child<QRadioButton>(c, "GtaLcs")->click();
        child<QRadioButton>(c, "GtaSa")->click();
        child<QCheckBox>(c, "DynamicObjs")->click();
        child<QLineEdit>(c, "IDoffset")->setText("40");
        for (int run = 0; run < 2; ++run) {
            toolMenuItem(w, "Collision map converter")->trigger();
            QVERIFY(convert(c));
            c.close();
            QCOMPARE(log.messages, QStringList{});
            const ColMapOptions o = c.options();
            QCOMPARE(o.edition, StoriesEdition::LCS);
            QCOMPARE(o.target, TargetGame::GtaSa);
            QVERIFY(o.buildings && !o.dynamicObjects && o.treadables);
            QCOMPARE(o.idOffset, 40);
            QCOMPARE(c.paths().dtz, files.dtz);
            QCOMPARE(c.paths().img, files.img);
            // Without a blank DFF: no archive; buildings and treadables only, numbered from 40.
            const fs::path out = dir.path() / "colmap";
            QCOMPARE(namesIn(out), (std::vector<std::string>{"ColMap.IDE", "ColMap.IPL", "ColMap.col"}));
            const QStringList ipl = linesOf(out / "ColMap.IPL");
            QCOMPARE(ipl.size(), 2 + 2 + 5);
            QVERIFY2(ipl[2].startsWith("41, colmap12, 0, 10.000, 20.000, 5.000, "), qPrintable(ipl[2]));
            QVERIFY2(ipl[3].startsWith("40, colmap3, 0, -1.000, -2.000, -3.000, "), qPrintable(ipl[3]));
        }
    }
};

VELDRIN_GUI_TEST(ColMapWindowTest)
#include "ColMapWindowTest.moc"
