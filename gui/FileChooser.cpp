#include "gui/FileChooser.h"

#include <QFileDialog>

namespace veldrin::gui {

FileChooser openFileDialog(QWidget* parent) {
    return [parent](const QString& caption, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    };
}

} // namespace veldrin::gui
