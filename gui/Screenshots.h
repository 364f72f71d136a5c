#pragma once
#include <QString>
#include <QStringList>

namespace veldrin::gui {

class MainWindow;

// Shows the main window and each of its dialogs and tool windows in turn and saves a PNG of each client area
// into `folder` (created when missing). Returns the files written; throws VeldrinError when one
// cannot be written.
QStringList saveScreenshots(MainWindow& window, const QString& folder);

} // namespace veldrin::gui
