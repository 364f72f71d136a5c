#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "gui/MipMapDialog.h"
#include "gui/PathText.h"
#include "gui/PrelightDialog.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;

namespace {

const char* const kZones = "# zones of two islands\r\n"
                           "zone\r\n"
                           "# comment inside the section\r\n"
                           "PORT_W, 0, -10.5, -20, -5, 10, 20.25, 50, 5\r\n"
                           "\r\n"
                           "BEACH, 2, 100, 100, 0, 200, 200, 30, 3\r\n"
                           "  end  \r\n"
                           "zone\r\n"
                           "HILLS, 0, 1, 2, 3, 4, 5, 6, 3\r\n"
                           "end\r\n";

QStringList rowTexts(QTreeWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << list->topLevelItem(row)->text(c);
    return texts;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    // Each dialog opens at its place beside the main window, and the main window takes no input
    // until the dialog closes, however it is closed.
    void dialogsOpenInPlaceAndHoldTheMainWindowUntilClosed() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.move(300, 100);
        QDialog* mip = w.mipMapDialog();
        child<QPushButton>(w, "Button3")->click();
        QVERIFY(mip->isVisible());
        QCOMPARE(mip->pos(), w.pos() + QPoint(25, 200));
        QVERIFY(!w.isEnabled());
        QVERIFY(mip->isEnabled());
        child<QPushButton>(*mip, "BitBtn1")->click(); // OK
        QVERIFY(!mip->isVisible());
        QVERIFY(w.isEnabled());

        QDialog* prelight = w.prelightDialog();
        child<QPushButton>(w, "Button2")->click();
        QCOMPARE(prelight->pos(), w.pos() + QPoint(0, 200));
        QVERIFY(!w.isEnabled());
        QVERIFY(prelight->isEnabled());
        prelight->close(); // the window's close box
        QVERIFY(!prelight->isVisible());
        QVERIFY(w.isEnabled());

        QDialog* zon = w.zonDialog();
        child<QPushButton>(w, "AdvancedButton")->click();
        QCOMPARE(zon->pos(), QPoint(w.x() - zon->frameGeometry().width() / 2, w.y() + 100));
        QVERIFY(!w.isEnabled());
        child<QDialogButtonBox>(*zon, "CloseButtons")->button(QDialogButtonBox::Close)->click();
        QVERIFY(!zon->isVisible());
        QVERIFY(w.isEnabled());
    }

    void placeInsideMovesTheLeastThatFits_data() {
        QTest::addColumn<QPoint>("asked");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("inside stays") << QPoint(100, 100) << QPoint(100, 100);
        QTest::newRow("left of the screen") << QPoint(-150, 100) << QPoint(0, 100);
        QTest::newRow("below the screen") << QPoint(100, 500) << QPoint(100, 400);
        QTest::newRow("past the right and top") << QPoint(700, -20) << QPoint(500, 0);
        QTest::newRow("offset screen") << QPoint(790, 50) << QPoint(800, 50);
    }
    void placeInsideMovesTheLeastThatFits() {
        QFETCH(QPoint, asked);
        QFETCH(QPoint, placed);
        const QRect area = asked.x() >= 790 ? QRect(800, 0, 800, 600) : QRect(0, 0, 800, 600);
        QCOMPARE(placeInside(asked, QSize(300, 200), area), placed);
    }

    // Wherever the main window stands, every dialog opens wholly on its screen: the ZON dialog, centred
    // on the main window's left edge, no longer hangs off the left of the screen.
    void everyDialogOpensInsideTheScreen() {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect area = w.screen()->availableGeometry();
        const QList<QPoint> corners{area.topLeft(), QPoint(area.right() - w.frameGeometry().width(), area.top()),
                                    QPoint(area.left(), area.bottom() - w.frameGeometry().height())};
        const QList<QPair<const char*, QDialog*>> openers{{"AdvancedButton", w.zonDialog()},
                                                           {"Button3", w.mipMapDialog()},
                                                           {"Button2", w.prelightDialog()}};
        for (const QPoint& corner : corners) {
            w.move(corner);
            for (const auto& [button, dialog] : openers) {
                child<QPushButton>(w, button)->click();
                QVERIFY(dialog->isVisible());
                QVERIFY2(area.contains(dialog->frameGeometry()),
                         qPrintable(QString("%1 at %2,%3").arg(button).arg(dialog->x()).arg(dialog->y())));
                dialog->close();
            }
        }
    }

    void prelightLabelsFollowTheBarsAndDefaultRestoresThem() {
        PrelightDialog d;
        auto* day = child<QSlider>(d, "TrackBar1");
        auto* night = child<QSlider>(d, "TrackBar2");
        QCOMPARE(child<QLabel>(d, "Label3")->text(), QString("64"));
        QCOMPARE(child<QLabel>(d, "Label4")->text(), QString("16"));
        day->setValue(0);
        night->setValue(255);
        QCOMPARE(child<QLabel>(d, "Label3")->text(), QString("0"));
        QCOMPARE(child<QLabel>(d, "Label4")->text(), QString("255"));
        QCOMPARE(d.dayMinimum(), 0);
        QCOMPARE(d.nightMinimum(), 255);
        child<QPushButton>(d, "BitBtn2")->click();
        QCOMPARE(d.dayMinimum(), 64);
        QCOMPARE(d.nightMinimum(), 16);
        QCOMPARE(child<QLabel>(d, "Label3")->text(), QString("64"));
        QCOMPARE(child<QLabel>(d, "Label4")->text(), QString("16"));
    }

    // Cancel puts back what the mip-map dialog showed when it opened; the close box keeps the new choices.
    void mipMapCancelRestoresTheChoicesItOpenedWith() {
        MainWindow w;
        auto* list = child<QComboBox>(*w.mipMapDialog(), "MipMapList");
        list->setCurrentIndex(2); // chosen before the dialog opens, as a restored session does
        child<QPushButton>(w, "Button3")->click();
        list->setCurrentIndex(4);
        child<QComboBox>(*w.mipMapDialog(), "DxtQualityList")->setCurrentIndex(1);
        child<QPushButton>(*w.mipMapDialog(), "CancelButton")->click();
        QVERIFY(!w.mipMapDialog()->isVisible() && w.isEnabled());
        QCOMPARE(w.gatherOptions().mipSizeThreshold, MipMapThreshold::Over32);
        QCOMPARE(w.gatherOptions().dxtQuality, DxtQuality::Exact);
        child<QPushButton>(w, "Button3")->click();
        list->setCurrentIndex(4);
        w.mipMapDialog()->close();
        QCOMPARE(w.gatherOptions().mipSizeThreshold, MipMapThreshold::Over128);
    }

    void useZonEnablesTheZoneControlsAndForcesMegaLods() {
        ZonDialog d;
        const QList<QWidget*> zoneControls{child<QPushButton>(d, "BrowseZon"), child<QLabel>(d, "IslandLabel"),
                                           child<QComboBox>(d, "IslandList"), child<QTreeWidget>(d, "ZoneList")};
        auto* force = child<QCheckBox>(d, "ForceMegaLods");
        for (QWidget* c : zoneControls) QVERIFY(!c->isEnabled());
        QVERIFY(force->isEnabled() && !force->isChecked());
        child<QCheckBox>(d, "UseZon")->click();
        for (QWidget* c : zoneControls) QVERIFY(c->isEnabled());
        QVERIFY(force->isChecked());
        force->click(); // the user may change it afterwards
        QVERIFY(d.useZon() && !d.forceMegaLods());
        force->click();
        child<QCheckBox>(d, "UseZon")->click();
        for (QWidget* c : zoneControls) QVERIFY(!c->isEnabled());
        QVERIFY(!force->isChecked());
    }

    void loadingMapZonSelectsTheSmallestIslandAndListsItsZones() {
        TempFolder dir("veldrin-gui");
        const auto zon = writeZonFile(dir.path(), kZones);
        ZonDialog d;
        d.loadZonFile(toQString(zon));
        QCOMPARE(d.zones().size(), std::size_t{3});
        QCOMPARE(d.island(), 3);
        QCOMPARE(d.zonPath(), toQString(zon));
        auto* list = child<QTreeWidget>(d, "ZoneList");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(rowTexts(list, 0),
                 (QStringList{"BEACH", "3", "100.000", "100.000", "0.000", "200.000", "200.000", "30.000"}));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("HILLS"));

        child<QComboBox>(d, "IslandList")->setCurrentIndex(5);
        QCOMPARE(d.island(), 5);
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(rowTexts(list, 0),
                 (QStringList{"PORT_W", "5", "-10.500", "-20.000", "-5.000", "10.000", "20.250", "50.000"}));
        child<QComboBox>(d, "IslandList")->setCurrentIndex(0);
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    void aBadMapZonIsReportedAndTheLoadedOneStays() {
        TempFolder dir("veldrin-gui");
        const auto good = writeZonFile(dir.path(), kZones);
        std::filesystem::create_directory(dir.path() / "bad");
        const auto bad = writeZonFile(dir.path() / "bad", "zone\nA, 0, 1, 2, 3, 4, 5, 6, 0\nB, 0, 1, x, 3, 4, 5, 6, 0\nend\n");
        MainWindow w;
        MessageLog log(w);
        ZonDialog& d = *w.zonDialog();
        d.loadZonFile(toQString(good));
        d.loadZonFile(toQString(bad));
        QCOMPARE(log.messages.size(), 1);
        QVERIFY2(log.messages[0].contains("line 3"), qPrintable(log.messages[0]));
        QCOMPARE(d.zonPath(), toQString(good));
        QCOMPARE(d.zones().size(), std::size_t{3});
        QCOMPARE(d.island(), 3);
        d.loadZonFile(toQString(dir.path() / "missing" / "MAP.ZON"));
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(d.zonPath(), toQString(good));
    }

    void aMapZonWithoutZonesSelectsNoIsland() {
        TempFolder dir("veldrin-gui");
        const auto zon = writeZonFile(dir.path(), "zone\n# nothing here\nend\n");
        MainWindow w;
        w.zonDialog()->loadZonFile(toQString(zon));
        QCOMPARE(w.zonDialog()->island(), -1);
        QVERIFY(!w.gatherOptions().zonIsland); // the run refuses a zone file without zones
        QCOMPARE(child<QTreeWidget>(*w.zonDialog(), "ZoneList")->topLevelItemCount(), 0);
    }
};

VELDRIN_GUI_TEST(DialogsTest)
#include "DialogsTest.moc"
