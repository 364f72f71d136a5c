#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "base/FileIO.h"
#include "gui/Col2Window.h"
#include "gui/ColMapWindow.h"
#include "gui/ElidedLabel.h"
#include "gui/MipMapDialog.h"
#include "gui/PathText.h"
#include "gui/PrelightDialog.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;

namespace {

// An LVZ and, unless told otherwise, the upper-case .IMG beside it; their contents do not matter to a pick.
QString levelFiles(const std::filesystem::path& folder, const std::string& name, bool withImg = true) {
    writeWholeFile(folder / (name + ".lvz"), std::string("lvz"));
    if (withImg) writeWholeFile(folder / (name + ".IMG"), std::string("img"));
    return toQString(folder / (name + ".lvz"));
}

QString textOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    return {};
}

// Every label and button that the user sees lies inside its window and has room for its whole text.
void expectNothingClipped(QWidget& window) {
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->objectName() == "Button1" || textOf(w).isEmpty()) continue;
        if (qobject_cast<ElidedLabel*>(w)) continue; // shortens its text on purpose
        const QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
        QVERIFY2(window.rect().contains(inWindow), qPrintable(w->objectName() + " lies outside its window"));
        // A push button's size hint asks for a minimum width; what counts is its text within the margins.
        const int needed = qobject_cast<QPushButton*>(w)
                               ? w->fontMetrics().horizontalAdvance(textOf(w)) + w->style()->pixelMetric(QStyle::PM_ButtonMargin)
                               : w->sizeHint().width();
        QVERIFY2(needed <= w->width(), qPrintable(w->objectName() + " clips \"" + textOf(w) + "\""));
        QVERIFY2(w->fontMetrics().height() <= w->height(), qPrintable(w->objectName() + " is too low for its text"));
    }
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheSpecifiedCaptionsAndDefaults() {
        TForm1 w;
        QCOMPARE(QApplication::applicationName(), QString("Veldrin v1.2"));
        QCOMPARE(w.windowTitle(), QString("GTA Veldrin v1.2"));
        QCOMPARE(w.size(), QSize(230, 579));
        QCOMPARE(child<QLabel>(w, "LVZpath")->text(), QString("LVZ: none"));
        QCOMPARE(child<QLabel>(w, "IMGpath")->text(), QString("IMG: none"));
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("Ready..."));
        QVERIFY(child<QPushButton>(w, "BrowseButton")->isEnabled());
        QVERIFY(child<QPushButton>(w, "BrowseButton")->font().bold());
        QVERIFY(!child<QPushButton>(w, "ProcessButton")->isEnabled());
        QCOMPARE(child<QPushButton>(w, "ProcessButton")->text(), QString("Convert!"));
        QVERIFY(child<QRadioButton>(w, "LCSPS2")->isChecked());
        QVERIFY(child<QRadioButton>(w, "GTA3")->isChecked());
        QVERIFY(child<QRadioButton>(w, "MakeGenTXD")->isChecked());
        QCOMPARE(child<QLineEdit>(w, "ModelsPerTXD")->text(), QString("50"));
        QVERIFY(child<QLineEdit>(w, "ModelsPerTXD")->isEnabled());
        QVERIFY(!child<QCheckBox>(w, "GenerateIDE")->isChecked());
        QCOMPARE(child<QLineEdit>(w, "IDoffset")->text(), QString("1000"));
        QVERIFY(!child<QLineEdit>(w, "IDoffset")->isEnabled());
        for (const char* axis : {"MapOffsetX", "MapOffsetY", "MapOffsetZ"}) {
            QCOMPARE(child<QLineEdit>(w, axis)->text(), QString("0.0"));
            QVERIFY(!child<QLineEdit>(w, axis)->isEnabled());
        }
        QVERIFY(child<QLineEdit>(w, "ModelPrefix")->text().isEmpty());
        QVERIFY(child<QLineEdit>(w, "TexturePrefix")->text().isEmpty());
        QVERIFY(child<QCheckBox>(w, "OptimiseMesh")->font().bold());
        QVERIFY(!child<QCheckBox>(w, "GenBlankCol")->font().bold());
        QCOMPARE(child<QProgressBar>(w, "ProgressBar1")->height(), 9);
        QCOMPARE(child<QProgressBar>(w, "ProgressBar1")->value(), 0);
        const QList<QLabel*> panels = child<QStatusBar>(w, "StatusBar1")->findChildren<QLabel*>();
        QVERIFY(!panels.isEmpty());
        QCOMPARE(panels.front()->text(), QString("v1.2"));
        // Beyond the client area, where the user never meets it.
        QVERIFY(!w.rect().intersects(child<QPushButton>(w, "Button1")->geometry()));
        QStringList tools;
        for (QAction* item : child<QMenu>(w, "ToolsMenu")->actions()) tools << item->text();
        QCOMPARE(tools,
                 (QStringList{"VC backface culling patcher", "COL2 to COL converter", "Collision map converter"}));
        QVERIFY(child<QToolButton>(w, "ToolsButton")->isEnabled());
        QVERIFY(!child<QToolButton>(w, "ToolsButton")->icon().isNull());
        for (QWidget* dialog : std::initializer_list<QWidget*>{w.mipMapDialog(), w.prelightDialog(), w.col2Window(),
                                                               w.colMapWindow(), w.zonDialog()}) {
            QVERIFY(!dialog->isVisible());
        }

        const ConversionOptions o = w.gatherOptions();
        const ConversionOptions defaults;
        QCOMPARE(o.gameVersion, defaults.gameVersion);
        QCOMPARE(o.targetGame, defaults.targetGame);
        QCOMPARE(o.txdMode, defaults.txdMode);
        QCOMPARE(o.modelsPerTxd, 50);
        QCOMPARE(o.idOffset, 1000);
        QCOMPARE(o.mapOffset, defaults.mapOffset);
        QCOMPARE(o.mipSizeThreshold, 0);
        QCOMPARE(o.prelightDayMinimum, 64);
        QCOMPARE(o.prelightNightMinimum, 16);
        QCOMPARE(o.zonIsland, 0);
        QVERIFY(!(o.generateIde || o.genBlankCol || o.genMipMaps || o.genNightPrelit || o.optimiseMesh ||
                  o.buildImg || o.useZon || o.forceMegaLods));
    }

    void everyWindowFitsItsTextsAtTheSpecifiedSize() {
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(230, 579));
        expectNothingClipped(w);
        for (QWidget* dialog : std::initializer_list<QWidget*>{w.mipMapDialog(), w.prelightDialog(), w.col2Window(),
                                                               w.colMapWindow(), w.zonDialog()}) {
            dialog->show();
            expectNothingClipped(*dialog);
            dialog->hide();
        }
        QCOMPARE(w.prelightDialog()->size(), QSize(230, 160));
        QCOMPARE(w.col2Window()->size(), QSize(230, 130));
        QCOMPARE(w.colMapWindow()->size(), QSize(230, 400));
        QCOMPARE(w.zonDialog()->size(), QSize(529, 335));
    }

    void generateIdeEnablesTheIdAndMapOffsetEdits() {
        TForm1 w;
        auto* ide = child<QCheckBox>(w, "GenerateIDE");
        const QList<QLineEdit*> edits{child<QLineEdit>(w, "IDoffset"), child<QLineEdit>(w, "MapOffsetX"),
                                      child<QLineEdit>(w, "MapOffsetY"), child<QLineEdit>(w, "MapOffsetZ")};
        ide->click();
        for (QLineEdit* e : edits) QVERIFY(e->isEnabled());
        edits[0]->setText("77");
        edits[1]->setText("12.5");
        ide->click();
        for (QLineEdit* e : edits) QVERIFY(!e->isEnabled());
        QCOMPARE(edits[0]->text(), QString("77"));
        QCOMPARE(edits[1]->text(), QString("12.5"));
        const ConversionOptions o = w.gatherOptions();
        QVERIFY(!o.generateIde);
        QCOMPARE(o.idOffset, 77);
        QCOMPARE(o.mapOffset[0], 12.5f);
    }

    void idOffsetTurnsAnythingButAWholeNumberIntoZero() {
        TForm1 w;
        child<QCheckBox>(w, "GenerateIDE")->click();
        auto* edit = child<QLineEdit>(w, "IDoffset");
        edit->setText("-5");
        QCOMPARE(edit->text(), QString("0"));
        QCOMPARE(w.gatherOptions().idOffset, 0);
        edit->setText("2500");
        QCOMPARE(w.gatherOptions().idOffset, 2500);
        edit->selectAll();
        QTest::keyClicks(edit, "ab");
        QCOMPARE(edit->text(), QString("0"));
        QCOMPARE(w.gatherOptions().idOffset, 0);
        edit->setText("2147483648"); // past 32 bits
        QCOMPARE(edit->text(), QString("0"));
        edit->setText("2147483647");
        QCOMPARE(w.gatherOptions().idOffset, 2147483647);
        edit->clear();
        QCOMPARE(edit->text(), QString("0"));
    }

    void modelsPerTxdTurnsAnythingBelowOneIntoOne() {
        TForm1 w;
        auto* edit = child<QLineEdit>(w, "ModelsPerTXD");
        for (const char* bad : {"", "0", "-3", "x"}) {
            edit->setText(bad);
            QCOMPARE(edit->text(), QString("1"));
        }
        edit->setText("1000000"); // no upper limit
        QCOMPARE(edit->text(), QString("1000000"));
        child<QRadioButton>(w, "MakeGroupTXD")->click();
        const ConversionOptions o = w.gatherOptions();
        QCOMPARE(o.txdMode, TxdMode::TxdPerGroup);
        QCOMPARE(o.modelsPerTxd, 1000000);
    }

    void lodPrefixFollowsTheModelPrefix_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("lod");
        QTest::newRow("two letters") << "ab" << "LOD";
        QTest::newRow("level name") << "indust" << "LODust";
        QTest::newRow("already LOD") << "LODxyz" << "LODxyz";
        QTest::newRow("empty") << "" << "LOD";
    }
    void lodPrefixFollowsTheModelPrefix() {
        QFETCH(QString, model);
        QFETCH(QString, lod);
        TForm1 w;
        auto* edit = child<QLineEdit>(w, "ModelPrefix");
        edit->setText("something");
        edit->selectAll();
        QTest::keyClicks(edit, model);
        if (model.isEmpty()) edit->clear();
        const ConversionOptions o = w.gatherOptions();
        QCOMPARE(QString::fromStdString(o.modelPrefix), model);
        QCOMPARE(QString::fromStdString(o.lodPrefix()), lod);
        QVERIFY(o.texturePrefix.empty()); // the texture prefix is its own
    }

    void pickingALevelPairsItsImgAndFillsThePrefixes() {
        TempFolder dir("veldrin-gui");
        TForm1 w;
        MessageLog log(w);
        const QString lvz = levelFiles(dir.path(), "INDUST");
        w.pickLevel(lvz);
        QVERIFY(log.messages.isEmpty());
        QVERIFY(child<QPushButton>(w, "ProcessButton")->isEnabled());
        QCOMPARE(child<ElidedLabel>(w, "LVZpath")->fullText(), "LVZ: " + lvz);
        QCOMPARE(child<ElidedLabel>(w, "IMGpath")->fullText(), "IMG: " + toQString(dir.path() / "INDUST.IMG"));
        QCOMPARE(child<QLineEdit>(w, "ModelPrefix")->text(), QString("indust"));
        QCOMPARE(child<QLineEdit>(w, "TexturePrefix")->text(), QString("indust"));
        const ConversionOptions o = w.gatherOptions();
        QCOMPARE(o.levelName, std::string("indust"));
        QCOMPARE(o.lodPrefix(), std::string("LODust"));
        QCOMPARE(o.lvzPath, dir.path() / "INDUST.lvz");
        QCOMPARE(o.imgPath, dir.path() / "INDUST.IMG");
        QCOMPARE(o.levelFolder(), dir.path() / "indust");
    }

    void aMissingImgIsReportedAndKeepsTheLevelPickedBefore() {
        TempFolder dir("veldrin-gui");
        TForm1 w;
        MessageLog log(w);
        w.pickLevel(levelFiles(dir.path(), "lonely", false));
        QCOMPARE(log.messages, QStringList{toQString(dir.path() / "lonely.IMG") + " not found"});
        QVERIFY(!child<QPushButton>(w, "ProcessButton")->isEnabled());
        QCOMPARE(child<QLabel>(w, "IMGpath")->text(), QString("IMG: none"));

        w.pickLevel(levelFiles(dir.path(), "beach"));
        child<QLineEdit>(w, "ModelPrefix")->setText("mine");
        w.pickLevel(levelFiles(dir.path(), "lonely", false));
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("Ready..."));
        QVERIFY(child<QPushButton>(w, "ProcessButton")->isEnabled());
        QCOMPARE(child<QLineEdit>(w, "ModelPrefix")->text(), QString("mine"));
        QCOMPARE(w.gatherOptions().levelName, std::string("beach"));
    }

    void longPathsAreShortenedInTheMiddle() {
        TempFolder dir("veldrin-gui");
        const std::filesystem::path deep = dir.path() / std::string(120, 'd') / "levels";
        std::filesystem::create_directories(deep);
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString lvz = levelFiles(deep, "indust");
        w.pickLevel(lvz);
        auto* label = child<ElidedLabel>(w, "LVZpath");
        QCOMPARE(label->fullText(), "LVZ: " + lvz);
        QVERIFY(label->text().startsWith("LVZ: " + lvz.left(3)));
        QVERIFY(label->text().endsWith("indust.lvz"));
        QVERIFY(label->text().contains(QChar(0x2026)));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
        QCOMPARE(label->toolTip(), label->fullText());
    }
};

VELDRIN_GUI_TEST(MainWindowTest)
#include "MainWindowTest.moc"
