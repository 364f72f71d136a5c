#include "gui/Screenshots.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>

#include "base/Error.h"
#include "gui/Col2Window.h"
#include "gui/ColMapWindow.h"
#include "gui/MainWindow.h"
#include "gui/MipMapDialog.h"
#include "gui/PrelightDialog.h"
#include "gui/ZonDialog.h"

namespace veldrin::gui {

namespace {

QString saveShot(QWidget& widget, const QDir& folder, const QString& name) {
    const bool wasVisible = widget.isVisible();
    widget.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path, "PNG")) throw VeldrinError("Cannot write " + path.toStdString());
    if (!wasVisible) widget.hide();
    return path;
}

} // namespace

QStringList saveScreenshots(MainWindow& window, const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(".")) throw VeldrinError("Cannot create the folder " + folder.toStdString());
    QStringList written;
    written << saveShot(window, dir, "main-window.png");
    written << saveShot(*window.mipMapDialog(), dir, "mip-maps-options.png");
    written << saveShot(*window.prelightDialog(), dir, "prelight-options.png");
    written << saveShot(*window.col2Window(), dir, "col2-converter.png");
    written << saveShot(*window.colMapWindow(), dir, "collision-map-converter.png");
    written << saveShot(*window.zonDialog(), dir, "zon-parameters.png");
    return written;
}

} // namespace veldrin::gui
