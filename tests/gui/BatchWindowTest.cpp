#include <QCheckBox>
#include <QLabel>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "base/FileIO.h"
#include "gui/PathText.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;

namespace {

// Two towns and a damaged level between them, in name order: "a", "b" (damaged), "c".
std::vector<std::filesystem::path> writeLevels(const std::filesystem::path& folder) {
    SampleShape small;
    small.models = 6;
    small.instances = 12;
    const auto a = buildLevel(sampleTown(GameVersion::LcsPs2, small)).write(folder, "a");
    writeWholeFile(folder / "b.lvz", std::string("not a level"));
    writeWholeFile(folder / "b.IMG", std::string("nor this"));
    const auto c = buildLevel(sampleTown(GameVersion::LcsPs2, small)).write(folder, "c");
    return {a, folder / "b.lvz", c};
}

} // namespace

class BatchWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Levels chosen together or dropped on the window convert in turn with planned ids; the final message
    // has a line per level and the damaged one does not stop the others.
    void severalLevelsConvertInTurnFromBrowseOrDrop() {
        for (const bool dropped : {false, true}) {
            TempFolder dir("veldrin-gui-batch");
            const auto levels = writeLevels(dir.path());
            MainWindow w;
            MessageLog log(w);
            QStringList paths;
            for (const auto& p : levels) paths << toQString(p);
            if (dropped) {
                QMimeData data;
                QList<QUrl> urls;
                for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
                data.setUrls(urls);
                QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                // Straight to the window's handler: the application only forwards drops of a drag it runs.
                static_cast<QObject&>(w).event(&drop);
                QVERIFY(drop.isAccepted());
            } else {
                w.chooseFiles = [&](const QString&, const QString&) { return paths; };
                child<QPushButton>(w, "BrowseButton")->click();
            }
            QCOMPARE(w.pickedBatch().size(), std::size_t{3});
            QCOMPARE(child<QLabel>(w, "LVZpath")->text(), QString("LVZ: 3 levels"));
            child<QCheckBox>(w, "GenerateIDE")->click();
            child<QCheckBox>(w, "WriteReport")->click();
            // Dropped levels go to a chosen folder, browsed ones beside their LVZ.
            const std::filesystem::path out = dropped ? dir / "out" : dir.path();
            if (dropped) w.setOutputFolderChoice(out);
            QSignalSpy ended(&w, &MainWindow::conversionEnded);
            child<QPushButton>(w, "ProcessButton")->click();
            QVERIFY(ended.wait(120000));

            const auto& results = w.lastBatchResults();
            QCOMPARE(results.size(), std::size_t{3});
            QCOMPARE(results[0].outcome, LevelOutcome::Converted);
            QCOMPARE(results[1].outcome, LevelOutcome::Failed);
            QCOMPARE(results[2].outcome, LevelOutcome::Converted);
            QCOMPARE(results[2].level.options.idOffset, 1000 + results[0].level.plannedModels);
            QVERIFY(std::filesystem::exists(out / "c" / "c.ide"));
            QVERIFY(std::filesystem::exists(out / "c-report" / "index.html"));
            QCOMPARE(log.messages.size(), 1);
            // The batch's summary page, written as the command line's --report writes it, then the folder.
            QCOMPARE(log.links.size(), 2);
            QCOMPARE(log.links[0].caption, QString("Open report"));
            QCOMPARE(toPath(log.links[0].url.toLocalFile()), out / "batch-report.html");
            QVERIFY(std::filesystem::exists(out / "batch-report.html"));
            QCOMPARE(log.links[1].caption, QString("Open folder"));
            QCOMPARE(toPath(log.links[1].url.toLocalFile()), out);
            const QStringList lines = log.messages.front().split('\n');
            QVERIFY2(lines.size() >= 3, qPrintable(log.messages.front()));
            QVERIFY(lines[0].startsWith("a (lcs-ps2): converted, "));
            QVERIFY(lines[1].startsWith("b (lcs-ps2): failed: "));
            QVERIFY(lines[2].contains(", IDs " + QString::number(results[2].level.options.idOffset) + "-"));
        }
    }
};

VELDRIN_GUI_TEST(BatchWindowTest)
#include "BatchWindowTest.moc"
