#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QSettings>
#include <QSlider>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "base/FileIO.h"
#include "gui/Col2Window.h"
#include "gui/ColMapWindow.h"
#include "gui/ElidedLabel.h"
#include "gui/InstallWindow.h"
#include "gui/LaunchArguments.h"
#include "gui/MipMapDialog.h"
#include "gui/PickDetection.h"
#include "gui/PathText.h"
#include "gui/PrelightDialog.h"
#include "gui/SessionSettings.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;

namespace {

constexpr int kDetectionTimeoutMs = 60000;

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
    void startsWithItsCaptionsAndDefaults() {
        MainWindow w;
        QCOMPARE(QApplication::applicationName(), QString("Veldrin v1.2"));
        QCOMPARE(w.windowTitle(), QString("GTA Veldrin v1.2"));
        QCOMPARE(child<QWidget>(w, "Controls")->width(), 230);
        QCOMPARE(w.height(), 594);
        QCOMPARE(child<QLabel>(w, "LVZpath")->text(), QString("LVZ: none"));
        QCOMPARE(child<QLabel>(w, "IMGpath")->text(), QString("IMG: none"));
        QCOMPARE(child<ElidedLabel>(w, "OutputPath")->fullText(), QString("Output: beside the level"));
        QVERIFY(!child<QPushButton>(w, "OutputResetButton")->isEnabled());
        QCOMPARE(child<QComboBox>(*w.mipMapDialog(), "DxtQualityList")->currentText(), QString("Exact"));
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
                 (QStringList{"VC backface culling patcher", "COL2 to COL converter", "Collision map converter",
                              "Install into game..."}));
        QVERIFY(child<QToolButton>(w, "ToolsButton")->isEnabled());
        QVERIFY(!child<QToolButton>(w, "ToolsButton")->icon().isNull());
        for (QWidget* dialog : std::initializer_list<QWidget*>{w.mipMapDialog(), w.prelightDialog(), w.col2Window(),
                                                               w.colMapWindow(), w.zonDialog()}) {
            QVERIFY(!dialog->isVisible());
        }

        const ConversionOptions o = w.gatherOptions();
        const ConversionOptions defaults;
        QCOMPARE(o.edition, defaults.edition);
        QCOMPARE(o.targetGame, defaults.targetGame);
        QCOMPARE(o.txdMode, defaults.txdMode);
        QCOMPARE(o.modelsPerTxd, 50);
        QCOMPARE(o.idOffset, 1000);
        QCOMPARE(o.mapOffset, defaults.mapOffset);
        QCOMPARE(o.mipSizeThreshold, MipMapThreshold::All);
        QCOMPARE(o.prelightDayMinimum, 64);
        QCOMPARE(o.prelightNightMinimum, 16);
        QCOMPARE(o.zonIsland, 0);
        QCOMPARE(o.dxtQuality, DxtQuality::Exact);
        QVERIFY(!o.writeReport); // only when asked, as on the command line
        QVERIFY(!(o.generateIde || o.genBlankCol || o.genMipMaps || o.genNightPrelit || o.optimiseMesh ||
                  o.buildImg || o.useZon || o.forceMegaLods));
    }

    void everyWindowFitsItsTextsAtItsDesignedSize() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(child<QWidget>(w, "Controls")->width(), 230);
        QCOMPARE(w.height(), 594);
        expectNothingClipped(w);
        // Resizable: at its smallest the controls still fit; grown, it still hides the developer's button.
        w.resize(w.minimumSize());
        QTRY_COMPARE(w.size(), w.minimumSize());
        expectNothingClipped(w);
        w.resize(1000, 800);
        QTRY_COMPARE(w.size(), QSize(1000, 800));
        QVERIFY(!w.rect().intersects(child<QPushButton>(w, "Button1")->geometry()));
        for (QWidget* dialog : std::initializer_list<QWidget*>{w.mipMapDialog(), w.prelightDialog(), w.col2Window(),
                                                               w.colMapWindow(), w.zonDialog()}) {
            dialog->show();
            expectNothingClipped(*dialog);
            dialog->hide();
        }
        InstallWindow* install = w.openInstallWindow(); // made when first opened
        expectNothingClipped(*install);
        install->hide();
        // The designed sizes, widened where a title bar needs more.
        const std::pair<QWidget*, QSize> designed[] = {{w.mipMapDialog(), {200, 131}}, {w.prelightDialog(), {230, 160}},
                                                        {w.col2Window(), {230, 130}}, {w.colMapWindow(), {230, 400}},
                                                        {w.zonDialog(), {529, 335}},
                                                        {install, {InstallWindow::kClientWidth, InstallWindow::kClientHeight}}};
        // No title is cut: the title bar's text in a bold title font of at least 11 points, with room
        // for the bar's close button and a margin.
        QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        title.setBold(true);
        if (title.pointSizeF() < 11) title.setPointSizeF(11);
        const QFontMetrics metrics(title);
        for (const auto& [window, size] : designed) {
            QCOMPARE(window->height(), size.height());
            QVERIFY(window->width() >= size.width());
            QVERIFY2(metrics.horizontalAdvance(window->windowTitle()) + 3 * metrics.height() <= window->width(),
                     qPrintable(window->windowTitle()));
        }
    }

    // The output folder row: "..." chooses the folder the level's folder goes into, a cancelled dialog
    // leaves the choice, "Reset" goes back to beside the level.
    void theOutputFolderCanBeChosenAndReset() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
        w.pickLevel(levelFiles(dir.path(), "indust"));
        QStringList answers{toQString(dir / "out"), ""};
        w.chooseFolder = [&](const QString&, const QString&) { return answers.takeFirst(); };
        for (int click = 0; click < 2; ++click) {
            child<QPushButton>(w, "OutputButton")->click();
            QCOMPARE(child<ElidedLabel>(w, "OutputPath")->fullText(), "Output: " + toQString(dir / "out"));
            QCOMPARE(w.gatherOptions().levelFolder(), dir.path() / "out" / "indust");
        }
        child<QPushButton>(w, "OutputResetButton")->click();
        QCOMPARE(child<ElidedLabel>(w, "OutputPath")->fullText(), QString("Output: beside the level"));
        QCOMPARE(w.gatherOptions().levelFolder(), dir.path() / "indust");
        QVERIFY(!child<QPushButton>(w, "OutputResetButton")->isEnabled());
    }

    void generateIdeEnablesTheIdAndMapOffsetEdits() {
        MainWindow w;
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
        QCOMPARE(o.mapOffset.xyz[0], 12.5f);
    }

    // The number fields take free typing and are checked when editing ends: clearing "50" and
    // typing "20" gives 20, and what is not a number in range becomes the field's floor.
    void numberFieldsAreCheckedWhenEditingEnds_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("models typed over") << "ModelsPerTXD" << "20" << "20";
        QTest::newRow("models no upper limit") << "ModelsPerTXD" << "1000000" << "1000000";
        QTest::newRow("models cleared") << "ModelsPerTXD" << "" << "1";
        QTest::newRow("models zero") << "ModelsPerTXD" << "0" << "1";
        QTest::newRow("models negative") << "ModelsPerTXD" << "-3" << "1";
        QTest::newRow("models letters") << "ModelsPerTXD" << "x" << "1";
        QTest::newRow("id typed over") << "IDoffset" << "2500" << "2500";
        QTest::newRow("id largest") << "IDoffset" << "2147483647" << "2147483647";
        QTest::newRow("id past 32 bits") << "IDoffset" << "2147483648" << "0";
        QTest::newRow("id negative") << "IDoffset" << "-5" << "0";
        QTest::newRow("id letters") << "IDoffset" << "ab" << "0";
        QTest::newRow("id cleared") << "IDoffset" << "" << "0";
    }
    void numberFieldsAreCheckedWhenEditingEnds() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        child<QCheckBox>(w, "GenerateIDE")->click();
        auto* edit = child<QLineEdit>(w, field.toLatin1().constData());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), typed); // nothing is changed while typing
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), kept);
        child<QRadioButton>(w, "MakeGroupTXD")->click();
        const ConversionOptions o = w.gatherOptions();
        QCOMPARE(field == "IDoffset" ? o.idOffset : o.modelsPerTxd, kept.toInt());
    }

    void modelsPerTxdReachesTheOptions() {
        MainWindow w;
        auto* edit = child<QLineEdit>(w, "ModelsPerTXD");
        edit->setText("1000000"); // no upper limit
        QCOMPARE(edit->text(), QString("1000000"));
        child<QRadioButton>(w, "MakeGroupTXD")->click();
        const ConversionOptions o = w.gatherOptions();
        QCOMPARE(o.txdMode, TxdMode::TxdPerGroup);
        QCOMPARE(o.modelsPerTxd, 1000000);
    }

    // Options, dialog settings and the window's place outlive the window, through a settings file.
    void settingsAreKeptAcrossARestart() {
        TempFolder dir("veldrin-gui");
        const QString file = toQString(dir / "veldrin.ini");
        ConversionOptions before;
        {
            MainWindow w;
            for (const char* name : {"VCSPSP", "GTASA", "MakeGroupTXD", "GenerateIDE", "OptimiseMesh", "GenMipMaps"})
                child<QAbstractButton>(w, name)->click();
            child<QLineEdit>(w, "ModelsPerTXD")->setText("7");
            child<QLineEdit>(w, "IDoffset")->setText("500");
            child<QLineEdit>(w, "MapOffsetY")->setText("2.5");
            child<QComboBox>(*w.mipMapDialog(), "MipMapList")->setCurrentIndex(3);
            child<QComboBox>(*w.mipMapDialog(), "DxtQualityList")->setCurrentIndex(1);
            child<QSlider>(*w.prelightDialog(), "TrackBar1")->setValue(10);
            w.setOutputFolderChoice(dir / "out");
            w.move(120, 10);
            w.resize(640, 594);
            before = w.gatherOptions();
            QSettings settings(file, QSettings::IniFormat);
            saveSession(w, settings);
        }
        QSettings settings(file, QSettings::IniFormat);
        MainWindow w;
        QCOMPARE(w.gatherOptions().edition, GameVersion::LcsPs2); // nothing is read unless asked
        restoreSession(w, settings);
        const ConversionOptions after = w.gatherOptions();
        QCOMPARE(after.edition, GameVersion::VcsPsp);
        QCOMPARE(after.targetGame, TargetGame::GtaSa);
        QCOMPARE(after.txdMode, TxdMode::TxdPerGroup);
        QCOMPARE(after.modelsPerTxd, 7);
        QVERIFY(after.generateIde && after.optimiseMesh && after.genMipMaps && !after.buildImg);
        QVERIFY(child<QLineEdit>(w, "IDoffset")->isEnabled()); // restored through the check box's own rule
        QCOMPARE(after.idOffset, 500);
        QCOMPARE(after.mapOffset, before.mapOffset);
        QCOMPARE(after.mipSizeThreshold, MipMapThreshold::Over64);
        QCOMPARE(after.dxtQuality, DxtQuality::High);
        QCOMPARE(w.outputFolderChoice(), dir / "out");
        QCOMPARE(after.prelightDayMinimum, 10);
        QCOMPARE(after.prelightNightMinimum, 16);
        QCOMPARE(w.pos(), QPoint(120, 10));
        QCOMPARE(w.size(), QSize(640, 594));

        // A damaged value leaves its control as it was.
        settings.setValue("mipmaps/MipMapList", 99);
        MainWindow fresh;
        restoreSession(fresh, settings);
        QCOMPARE(fresh.gatherOptions().mipSizeThreshold, MipMapThreshold::All);
    }

    // Tab walks the visible controls and comes back round without reaching the developer's button.
    void tabNeverReachesTheDeveloperButton() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        child<QPushButton>(w, "BrowseButton")->setFocus();
        QStringList reached;
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget());
            reached << QApplication::focusWidget()->objectName();
        }
        QVERIFY2(reached.contains("ModelPrefix") && reached.contains("BrowseButton"), qPrintable(reached.join(' ')));
        QVERIFY2(!reached.contains("Button1"), qPrintable(reached.join(' ')));
    }

    // "veldrin town.lvz" names the level the window picks at start.
    void aLevelFromTheCommandLineIsPicked() {
        QCOMPARE(parseLaunchArguments({"veldrin", "town.lvz"}).level, QString("town.lvz"));
        QCOMPARE(parseLaunchArguments({"veldrin", "--screenshot", "d"}).screenshotFolder, QString("d"));
        QVERIFY(parseLaunchArguments({"veldrin", "--screenshot", "d"}).level.isEmpty());
        for (const QStringList& bad : {QStringList{"veldrin", "a.lvz", "b.lvz"}, QStringList{"veldrin", "--frob"},
                                       QStringList{"veldrin", "--screenshot"}}) {
            QVERIFY2(parseLaunchArguments(bad).bad, qPrintable(bad.join(' ')));
        }
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
        MainWindow w;
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
        MainWindow w;
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

    // A pick selects the detected edition's button and names it in the status line; the user may still
    // choose another; a level that reads as no edition says why.
    void aPickSelectsTheDetectedEdition() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
        MessageLog log(w);
        const char* buttons[] = {"LCSPS2", "VCSPS2", "LCSPSP", "VCSPSP"};
        const char* titles[] = {"LCS PS2", "VCS PS2", "LCS PSP", "VCS PSP"};
        for (int i = 3; i >= 0; --i) {
            const auto edition = static_cast<GameVersion>(i + 1);
            const auto lvz = buildLevel(sampleTown(edition)).write(dir.path(), std::string(buttons[i]));
            w.pickLevel(toQString(lvz));
            QTRY_VERIFY_WITH_TIMEOUT(!w.pickDetection()->isPending(), kDetectionTimeoutMs);
            QVERIFY(child<QRadioButton>(w, buttons[i])->isChecked());
            QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("Detected: ") + titles[i]);
            child<QRadioButton>(w, buttons[(i + 1) % 4])->click();
            QCOMPARE(w.gatherOptions().edition, static_cast<GameVersion>((i + 1) % 4 + 1));
        }
        w.pickLevel(levelFiles(dir.path(), "junk"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.pickDetection()->isPending(), kDetectionTimeoutMs);
        QVERIFY(child<ElidedLabel>(w, "StatusText")->fullText().startsWith("Edition not detected: junk.lvz is not a valid zlib stream"));
        QVERIFY(log.messages.isEmpty());
    }

    // Detection reads the level on a worker. Its late result never overtakes a later pick or the window's
    // closing; "Convert!" pressed meanwhile lets the run detect the edition, whose button the result checks.
    void aLateDetectionOvertakesNothing() {
        TempFolder dir("veldrin-gui");
        const QString slowLevel = toQString(buildLevel(sampleTown(GameVersion::VcsPsp)).write(dir.path(), "slow"));
        MainWindow w;
        MessageLog log(w);
        // "slow" reads as VCS PSP once let go; any other level reads as LCS PSP at once.
        auto held = std::make_shared<std::atomic<bool>>(true);
        w.pickDetection()->read = [held](const std::filesystem::path& lvz, const std::filesystem::path&) {
            const bool slow = lvz.stem() == "slow";
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (slow && *held && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return DetectedEdition{slow ? GameVersion::VcsPsp : GameVersion::LcsPsp, "Detected: " + toQString(lvz.stem())};
        };
        const auto letGo = [&] { // and wait until its result is handled
            *held = false;
            QTRY_COMPARE_WITH_TIMEOUT(w.pickDetection()->runningWorkers(), 0, kDetectionTimeoutMs);
            *held = true;
        };
        auto* status = child<ElidedLabel>(w, "StatusText");
        QSignalSpy detected(&w, &MainWindow::editionDetectionEnded);

        w.pickLevel(slowLevel);
        QCOMPARE(status->fullText(), QString(kDetectingStatus));
        w.pickLevel(levelFiles(dir.path(), "fast"));
        QVERIFY(detected.wait(kDetectionTimeoutMs));
        letGo();
        QCOMPARE(detected.size(), 1);
        QCOMPARE(status->fullText(), QString("Detected: fast"));
        QVERIFY(child<QRadioButton>(w, "LCSPSP")->isChecked());

        w.pickLevel(slowLevel);
        QSignalSpy ended(&w, &MainWindow::conversionEnded);
        child<QPushButton>(w, "ProcessButton")->click();
        QVERIFY(ended.wait(kDetectionTimeoutMs));
        QCOMPARE(log.kinds, QList<MessageKind>{MessageKind::Information}); // not refused as LCS PSP
        QVERIFY(w.lastRunOptions().editionAuto);
        letGo();
        QVERIFY(child<QRadioButton>(w, "VCSPSP")->isChecked());
        QCOMPARE(status->fullText(), QString("All done!")); // the run's word stays

        child<QRadioButton>(w, "LCSPS2")->click();
        w.pickLevel(slowLevel);
        w.close();
        letGo();
        QCOMPARE(detected.size(), 2);
        QCOMPARE(status->fullText(), QString(kDetectingStatus));
        QVERIFY(child<QRadioButton>(w, "LCSPS2")->isChecked());
    }

    void aMissingImgIsReportedAndKeepsTheLevelPickedBefore() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
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
        MainWindow w;
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
