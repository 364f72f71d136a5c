#pragma once
#include <QDialog>
#include <QString>
#include <functional>

#include "gui/ApplicationLook.h"
#include "gui/FileChooser.h"

namespace veldrin::gui {

class ToolRunner;

// What the side tools' converting windows share: a tool window of its own, created hidden at start,
// whose conversion runs on a worker thread, one at a time.
class ToolWindow : public QDialog {
    Q_OBJECT
public:
    bool isConverting() const;

    // How files are chosen and messages reach the user; the tests replace them.
    FileChooser chooseFile;
    std::function<void(const QString&, MessageKind)> showMessage;

signals:
    void conversionEnded();

protected:
    ToolWindow(const QString& title, QWidget* parent);

    ToolRunner* runner_;
};

} // namespace veldrin::gui
