#include "gui/ToolWindow.h"

#include "gui/ApplicationLook.h"
#include "gui/ToolRunner.h"

namespace veldrin::gui {

ToolWindow::ToolWindow(const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Tool), runner_(new ToolRunner(this)) {
    setWindowTitle(title);
    chooseFile = openFileDialog(this);
    showMessage = [this](const QString& text, MessageKind kind) { showMessageBox(this, text, kind); };
}

bool ToolWindow::isConverting() const { return runner_->isRunning(); }

} // namespace veldrin::gui
