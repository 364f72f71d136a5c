#include <QImage>
#include <QTest>

#include "GuiTestRegistry.h"
#include "gui/Col2Window.h"
#include "gui/ColMapWindow.h"
#include "gui/MainWindow.h"
#include "gui/MipMapDialog.h"
#include "gui/PrelightDialog.h"
#include "gui/ZonDialog.h"
#include "gui/Screenshots.h"
#include "support/TempFolder.h"

using namespace veldrin::gui;

class ScreenshotsTest : public QObject {
    Q_OBJECT
private slots:
    void savesEveryWindowAtItsClientSize() {
        veldrin::test::TempFolder dir("veldrin-gui");
        MainWindow w;
        const QString folder = QString::fromStdString((dir.path() / "shots").string());
        const QStringList files = saveScreenshots(w, folder);
        QCOMPARE(files.size(), 6);
        const QSize sizes[] = {w.size(), w.mipMapDialog()->size(), w.prelightDialog()->size(), w.col2Window()->size(),
                               w.colMapWindow()->size(), w.zonDialog()->size()};
        for (int i = 0; i < files.size(); ++i) {
            const QImage picture(files[i]);
            QVERIFY2(!picture.isNull(), qPrintable(files[i]));
            QCOMPARE(picture.size() / picture.devicePixelRatio(), sizes[i]);
            // Something was drawn over the background: a fair share of the pixels differ from the corner's.
            int drawn = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) drawn += picture.pixel(x, y) != picture.pixel(0, 0);
            QVERIFY2(drawn * 50 > picture.width() * picture.height(), qPrintable(files[i]));
        }
        QVERIFY(!w.mipMapDialog()->isVisible() && !w.zonDialog()->isVisible());
        QVERIFY(!w.col2Window()->isVisible() && !w.colMapWindow()->isVisible());
    }
};

VELDRIN_GUI_TEST(ScreenshotsTest)
#include "ScreenshotsTest.moc"
