#include <QCheckBox>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "base/FileIO.h"
#include "cli/CommandLine.h"
#include "gui/ConversionThread.h"
#include "gui/LinkedMessage.h"
#include "gui/MipMapDialog.h"
#include "gui/PathText.h"
#include "gui/PrelightDialog.h"
#include "support/ModelEncoder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;

namespace {

constexpr int kRunTimeoutMs = 120000;

std::filesystem::path writeSample(const std::filesystem::path& folder, GameVersion edition = GameVersion::LcsPs2) {
    return buildLevel(sampleTown(edition)).write(folder, "town");
}

// One placed model whose materials name `textures` texture indices that the level does not hold.
std::filesystem::path writeLevelMissingTextures(const std::filesystem::path& folder, int textures) {
    LevelDescription d;
    d.resourceCount = 1;
    TestModelPart part;
    for (int t = 0; t < textures; ++t) {
        TestMaterial material;
        material.textureId = static_cast<int16_t>(100 + t);
        material.strip = {{0, 0, 0, 0, 0, 0x7FFF}, {1000, 0, 0, 128, 0, 0x001F}, {0, 1000, 0, 0, 128, 0x03E0}};
        part.materials.push_back(material);
    }
    d.resources[0].encode = [part](uint32_t) { return encodeModelPart(GameVersion::LcsPs2, part); };
    d.resources[0].placements = {{Where::Cell, 0}};
    TestCell cell;
    cell.row = 20;
    cell.column = 20;
    cell.instances.push_back(TestInstance{1, 0, 2, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {10, 10, 0}});
    d.cells = {cell};
    return buildLevel(d).write(folder, "gaps");
}

// Presses "Convert!" and waits for the run to end.
bool convert(MainWindow& w) {
    QSignalSpy ended(&w, &MainWindow::conversionEnded);
    child<QPushButton>(w, "ProcessButton")->click();
    return !ended.isEmpty() || ended.wait(kRunTimeoutMs); // a refused run may end inside the click
}

void compareOptions(const ConversionOptions& a, const ConversionOptions& b) {
    QCOMPARE(a.edition, b.edition);
    QCOMPARE(a.targetGame, b.targetGame);
    QCOMPARE(a.generateIde, b.generateIde);
    QCOMPARE(a.idOffset, b.idOffset);
    QCOMPARE(a.mapOffset, b.mapOffset);
    QCOMPARE(a.txdMode, b.txdMode);
    QCOMPARE(a.modelsPerTxd, b.modelsPerTxd);
    QCOMPARE(a.modelPrefix, b.modelPrefix);
    QCOMPARE(a.texturePrefix, b.texturePrefix);
    QCOMPARE(a.levelName, b.levelName);
    QCOMPARE(a.lvzPath, b.lvzPath);
    QCOMPARE(a.imgPath, b.imgPath);
    QCOMPARE(a.outputFolder, b.outputFolder);
    QCOMPARE(a.genBlankCol, b.genBlankCol);
    QCOMPARE(a.genMipMaps, b.genMipMaps);
    QCOMPARE(a.mipSizeThreshold, b.mipSizeThreshold);
    QCOMPARE(a.genNightPrelit, b.genNightPrelit);
    QCOMPARE(a.prelightDayMinimum, b.prelightDayMinimum);
    QCOMPARE(a.prelightNightMinimum, b.prelightNightMinimum);
    QCOMPARE(a.optimiseMesh, b.optimiseMesh);
    QCOMPARE(a.buildImg, b.buildImg);
    QCOMPARE(a.useZon, b.useZon);
    QCOMPARE(a.zonIsland, b.zonIsland);
    QCOMPARE(a.forceMegaLods, b.forceMegaLods);
    QCOMPARE(a.zonPath, b.zonPath);
    QCOMPARE(a.jobs, b.jobs);
    QCOMPARE(a.dxtQuality, b.dxtQuality);
    QCOMPARE(a.writeReport, b.writeReport);
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(folder)) return names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The same files with the same bytes in both folders.
void compareFolders(const std::filesystem::path& a, const std::filesystem::path& b) {
    const std::vector<std::string> names = namesIn(a);
    QVERIFY(!names.empty());
    QCOMPARE(namesIn(b), names);
    for (const std::string& name : names) {
        QVERIFY2(readWholeFile(a / name) == readWholeFile(b / name), name.c_str());
    }
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    // Every control and dialog setting reaches the run exactly as the equivalent command line gives it,
    // and the run started by "Convert!" writes the same bytes as the run of that command line.
    void convertGivesTheOptionsOfTheEquivalentCommandLine() {
        TempFolder dir("veldrin-gui");
        const auto lvz = writeSample(dir.path(), GameVersion::VcsPsp);
        const auto zon = writeZonFile(dir.path(), "zone\nall, 0, -5000, -5000, -500, 5000, 5000, 500, 2\nend\n");
        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(lvz));
        child<QRadioButton>(w, "VCSPSP")->click();
        child<QRadioButton>(w, "GTASA")->click();
        child<QRadioButton>(w, "MakeGroupTXD")->click();
        child<QLineEdit>(w, "ModelsPerTXD")->setText("7");
        child<QCheckBox>(w, "GenerateIDE")->click();
        child<QLineEdit>(w, "IDoffset")->setText("500");
        child<QLineEdit>(w, "MapOffsetX")->setText("1.5");
        child<QLineEdit>(w, "MapOffsetY")->setText("-2");
        child<QLineEdit>(w, "MapOffsetZ")->setText("300");
        child<QLineEdit>(w, "ModelPrefix")->setText("ab");
        child<QLineEdit>(w, "TexturePrefix")->setText("tx");
        for (const char* box : {"GenBlankCol", "GenMipMaps", "GenNightPrelit", "OptimiseMesh", "BuildIMG", "WriteReport"}) {
            child<QCheckBox>(w, box)->click();
        }
        child<QComboBox>(*w.mipMapDialog(), "MipMapList")->setCurrentIndex(3);
        child<QComboBox>(*w.mipMapDialog(), "DxtQualityList")->setCurrentIndex(1);
        child<QSlider>(*w.prelightDialog(), "TrackBar1")->setValue(10);
        child<QSlider>(*w.prelightDialog(), "TrackBar2")->setValue(200);
        child<QCheckBox>(*w.zonDialog(), "UseZon")->click();
        w.zonDialog()->loadZonFile(toQString(zon));
        child<QCheckBox>(*w.zonDialog(), "ForceMegaLods")->click();

        QVERIFY(convert(w));
        QCOMPARE(log.kinds, QList<MessageKind>{MessageKind::Information});
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("All done!"));

        const int jobs = w.lastRunOptions().jobs;
        const cli::CliCommand line = cli::parseCommandLine(
            {"convert", lvz.string(), "--edition", "vcs-psp", "--target", "sa", "--txd", "group", "--models-per-txd",
             "7", "--ide", "--id-offset", "500", "--map-offset=1.5,-2,300", "--model-prefix=ab", "--texture-prefix=tx",
             "--blank-col", "--mipmaps", "--mipmap-threshold", "64", "--night-prelight", "--day-min", "10",
             "--night-min", "200", "--optimise-mesh", "--img", "--zon", zon.string(), "--island", "2",
             "--dxt-quality", "high", "--report"},
            jobs);
        compareOptions(w.lastRunOptions(), line.options);
        if (QTest::currentTestFailed()) return;

        ConversionOptions elsewhere = line.options;
        elsewhere.outputFolder = dir.path() / "cli";
        runConversion(elsewhere, {});
        compareFolders(dir.path() / "town", dir.path() / "cli" / "town");
    }

    void aWholeRunThroughTheWindowEndsInAllDone() {
        TempFolder dir("veldrin-gui");
        const auto lvz = writeSample(dir.path());
        MainWindow w;
        MessageLog log(w);
        w.show();
        w.pickLevel(toQString(lvz));
        child<QCheckBox>(w, "GenerateIDE")->click();
        child<QCheckBox>(w, "GenBlankCol")->click();
        child<QCheckBox>(w, "WriteReport")->click();
        QStringList statuses;
        connect(&w, &MainWindow::conversionStarting, this, [&](ConversionThread* thread) {
            connect(thread, &ConversionThread::statusChanged, this, [&](const QString& s) { statuses << s; });
        });

        QSignalSpy ended(&w, &MainWindow::conversionEnded);
        child<QPushButton>(w, "ProcessButton")->click();
        QVERIFY(w.isConverting());
        // Runs never nest, and the level stays as picked while one goes on.
        QVERIFY(!child<QPushButton>(w, "ProcessButton")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "BrowseButton")->isEnabled());
        QVERIFY(ended.wait(kRunTimeoutMs));

        QVERIFY(!w.isConverting());
        QVERIFY(child<QPushButton>(w, "ProcessButton")->isEnabled());
        QVERIFY(child<QPushButton>(w, "BrowseButton")->isEnabled());
        // The final message tells what was written and offers the run's report and its folder.
        QCOMPARE(log.kinds, QList<MessageKind>{MessageKind::Information});
        QVERIFY2(log.messages[0].startsWith("Converted ") && log.messages[0].endsWith(" into " + toQString(dir / "town")),
                 qPrintable(log.messages[0]));
        QCOMPARE(w.lastRunSummary().reportFolder, dir.path() / "town-report");
        QCOMPARE(log.links.size(), 3);
        QCOMPARE(log.links[0].caption, QString("Open report"));
        QCOMPARE(toPath(log.links[0].url.toLocalFile()), dir.path() / "town-report" / "index.html");
        QVERIFY(std::filesystem::is_regular_file(toPath(log.links[0].url.toLocalFile())));
        // The same page, opened at its 3D view.
        QCOMPARE(log.links[1].caption, QString("Open 3D view"));
        QCOMPARE(log.links[1].url.adjusted(QUrl::RemoveFragment), log.links[0].url);
        QCOMPARE(log.links[1].url.fragment(), QString("view"));
        QCOMPARE(log.links[2].caption, QString("Open folder"));
        QCOMPARE(toPath(log.links[2].url.toLocalFile()), dir.path() / "town");
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("All done!"));
        QVERIFY(statuses.size() > 4);
        QCOMPARE(statuses.front(), QString("Loading town.lvz"));
        QVERIFY(statuses.contains("Loading database..."));
        QVERIFY(statuses.contains("Building town.ipl"));
        QCOMPARE(statuses.back(), QString("All done!"));
        auto* bar = child<QProgressBar>(w, "ProgressBar1");
        QVERIFY(bar->maximum() > 1);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(w.lastRunSummary().modelsConverted > 0);

        const auto line = cli::parseCommandLine(
            {"convert", lvz.string(), "--ide", "--blank-col", "--out", (dir.path() / "cli").string()}, 1);
        runConversion(line.options, {});
        compareFolders(dir.path() / "town", dir.path() / "cli" / "town");
    }

    void aMapOffsetThatIsNoNumberStopsTheRunEvenWithIdeOff() {
        TempFolder dir("veldrin-gui");
        const auto lvz = writeSample(dir.path());
        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(lvz));
        child<QCheckBox>(w, "GenerateIDE")->click();
        child<QLineEdit>(w, "MapOffsetY")->setText("1,5");
        child<QCheckBox>(w, "GenerateIDE")->click();
        QVERIFY(convert(w));
        QCOMPARE(log.messages.size(), 1);
        QVERIFY(log.messages[0].startsWith("Invalid Map XYZ offset"));
        QCOMPARE(log.kinds, QList<MessageKind>{MessageKind::Error});
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("Failed"));
        QVERIFY(!std::filesystem::exists(dir.path() / "town"));
        QVERIFY(child<QPushButton>(w, "ProcessButton")->isEnabled());
    }

    // An edition button that clearly does not fit the level stops the run before it writes anything, and
    // the message names the button to choose.
    void aWrongEditionIsRefusedNamingTheOneToChoose() {
        TempFolder dir("veldrin-gui");
        const auto lvz = writeSample(dir.path(), GameVersion::VcsPsp);
        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(lvz));
        child<QRadioButton>(w, "LCSPSP")->click();
        QVERIFY(convert(w));
        QCOMPARE(log.messages.size(), 1);
        QVERIFY2(log.messages[0].startsWith("town.lvz reads as vcs-psp, not lcs-psp ("), qPrintable(log.messages[0]));
        QVERIFY2(log.messages[0].endsWith("; choose VCS PSP"), qPrintable(log.messages[0]));
        QVERIFY(!std::filesystem::exists(dir.path() / "town"));
    }

    // "Use ZON" without a readable zone file refuses the run instead of converting the whole level.
    void useZonWithoutAReadableMapZonRefusesTheRun() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(writeSample(dir.path())));
        child<QCheckBox>(*w.zonDialog(), "UseZon")->click();
        QVERIFY(convert(w));
        QCOMPARE(log.messages, QStringList{kNoZonFileMessage});

        const auto zon = writeZonFile(dir.path(), "zone\nall, 0, -9000, -9000, -9000, 9000, 9000, 9000, 0\nend\n");
        w.zonDialog()->loadZonFile(toQString(zon));
        std::filesystem::remove(zon);
        QVERIFY(convert(w));
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[1], toQString(zon) + ": no such file");
        QCOMPARE(log.kinds, (QList<MessageKind>{MessageKind::Error, MessageKind::Error}));
        QVERIFY(w.zonDialog()->useZon());
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("Failed"));
        QVERIFY(!std::filesystem::exists(dir.path() / "town"));
    }

    // The run goes on past what it skips; the window tells it all in one message at the end.
    void warningsAreShownTogetherWhenTheRunEnds() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(writeLevelMissingTextures(dir.path(), 25)));
        QVERIFY(convert(w));
        QCOMPARE(child<QLabel>(w, "StatusText")->text(), QString("All done!"));
        QCOMPARE(w.lastRunWarnings().size(), 25);
        QCOMPARE(log.messages.size(), 1);
        const QStringList lines = log.messages[0].split('\n');
        QCOMPARE(lines.front(), QString("The conversion finished with 25 warning(s):"));
        QCOMPARE(lines.size(), 1 + 20 + 1);
        QCOMPARE(lines[1], w.lastRunWarnings()[0]);
        QVERIFY2(lines[1].contains("100"), qPrintable(lines[1]));
        QCOMPARE(lines.back(), QString("... and 5 more."));
        QCOMPARE(log.kinds, QList<MessageKind>{MessageKind::Warning});

        // The log pane keeps every run's steps, warnings and result until "Clear".
        QVERIFY(convert(w));
        auto* runLog = child<QPlainTextEdit>(w, "RunLog");
        const QString text = runLog->toPlainText();
        QCOMPARE(text.count("Converting gaps.lvz\n  Loading gaps.lvz\n"), 2);
        QCOMPARE(text.count("\n  Warning: "), 50);
        QCOMPARE(text.count(QRegularExpression("\n  All done!\nConverted [^\n]*, 25 warning\\(s\\)(\n|$)")), 2);
        child<QPushButton>(w, "LogClearButton")->click();
        QVERIFY(runLog->toPlainText().isEmpty());
    }

    // The option dialogs keep their settings through runs and reopening, for every run after.
    void dialogSettingsLastAcrossRuns() {
        TempFolder dir("veldrin-gui");
        const auto zon = writeZonFile(dir.path(), "zone\nall, 0, -5000, -5000, -500, 5000, 5000, 500, 4\nend\n");
        MainWindow w;
        MessageLog log(w);
        w.pickLevel(toQString(writeSample(dir.path())));
        // Mip-maps on for a target that makes them, so the threshold does something and the run warns of nothing.
        child<QRadioButton>(w, "GTAVC")->click();
        child<QCheckBox>(w, "GenMipMaps")->click();
        child<QComboBox>(*w.mipMapDialog(), "MipMapList")->setCurrentIndex(2);
        child<QSlider>(*w.prelightDialog(), "TrackBar1")->setValue(100);
        child<QSlider>(*w.prelightDialog(), "TrackBar2")->setValue(30);
        child<QCheckBox>(*w.zonDialog(), "UseZon")->click();
        w.zonDialog()->loadZonFile(toQString(zon));
        for (int run = 0; run < 2; ++run) {
            for (const char* opener : {"Button3", "Button2", "AdvancedButton"}) {
                child<QPushButton>(w, opener)->click();
                for (QDialog* d : std::initializer_list<QDialog*>{w.mipMapDialog(), w.prelightDialog(), w.zonDialog()}) {
                    if (d->isVisible()) d->close();
                }
            }
            QVERIFY(convert(w));
            const ConversionOptions& o = w.lastRunOptions();
            QCOMPARE(o.mipSizeThreshold, MipMapThreshold::Over32);
            QCOMPARE(o.prelightDayMinimum, 100);
            QCOMPARE(o.prelightNightMinimum, 30);
            QVERIFY(o.useZon);
            QVERIFY(o.forceMegaLods);
            QCOMPARE(o.zonIsland, 4);
            QCOMPARE(o.zonPath, zon);
            QCOMPARE(log.kinds, QList<MessageKind>(run + 1, MessageKind::Information));
        }
        QCOMPARE(child<QLabel>(*w.prelightDialog(), "Label3")->text(), QString("100"));
    }

    // A button of the final message hands its link to the opener and launches nothing; "OK" opens nothing.
    void theFinalMessageButtonsOpenTheirLinks_data() {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<QString>("opened");
        QTest::newRow("report") << "Open report" << "/levels/town-report/index.html";
        QTest::newRow("3D view") << "Open 3D view" << "/levels/town-report/index.html#view";
        QTest::newRow("folder") << "Open folder" << "/levels/town";
        QTest::newRow("ok") << "OK" << "";
    }
    void theFinalMessageButtonsOpenTheirLinks() {
        QFETCH(QString, pressed);
        QFETCH(QString, opened);
        QUrl view = QUrl::fromLocalFile("/levels/town-report/index.html");
        view.setFragment("view");
        const MessageLinks links{{"Open report", QUrl::fromLocalFile("/levels/town-report/index.html")},
                                 {"Open 3D view", view},
                                 {"Open folder", QUrl::fromLocalFile("/levels/town")}};
        QStringList urls;
        QTimer press;
        QElapsedTimer waited;
        waited.start();
        connect(&press, &QTimer::timeout, this, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(top);
                if (!box || !box->isVisible()) continue;
                for (QAbstractButton* button : box->buttons())
                    if (button->text() == pressed) button->click();
                if (waited.elapsed() > 10000) box->reject(); // no such button: fail rather than hang
            }
        });
        press.start(20);
        showLinkedMessageBox(nullptr, "Converted", MessageKind::Information, links,
                             [&](const QUrl& url) {
                                 urls << url.toLocalFile() + (url.hasFragment() ? "#" + url.fragment() : QString());
                                 return true;
                             });
        QCOMPARE(urls, opened.isEmpty() ? QStringList{} : QStringList{opened});
    }

    // Closing the window during a run asks it to stop before its next model and waits for it.
    void closingDuringARunStopsItAtTheNextModel() {
        TempFolder dir("veldrin-gui");
        MainWindow w;
        MessageLog log(w);
        w.show();
        w.pickLevel(toQString(writeSample(dir.path())));
        std::atomic<bool> atFirstModel{false};
        connect(&w, &MainWindow::conversionStarting, this, [&](ConversionThread* thread) {
            // Runs on the worker: hold the first model until the window has asked the run to stop.
            connect(
                thread, &ConversionThread::statusChanged, thread,
                [&, thread](const QString& s) {
                    if (!s.startsWith("Processing ") || atFirstModel) return;
                    atFirstModel = true;
                    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                    while (!thread->stopRequested() && std::chrono::steady_clock::now() < deadline) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    }
                },
                Qt::DirectConnection);
        });
        child<QPushButton>(w, "ProcessButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(atFirstModel, kRunTimeoutMs);
        QVERIFY(w.close());
        QVERIFY(!w.isConverting());
        QVERIFY(w.lastRunSummary().stopped);
        QCOMPARE(w.lastRunSummary().modelsConverted, 1);
        QCOMPARE(log.messages, QStringList{});
        // One whole model and nothing else: no dictionary, no placement file, no temporary file.
        const std::vector<std::string> written = namesIn(dir.path() / "town");
        QCOMPARE(written.size(), std::size_t{1});
        QVERIFY(written[0].ends_with(".dff"));
    }
};

VELDRIN_GUI_TEST(ConversionTest)
#include "ConversionTest.moc"
