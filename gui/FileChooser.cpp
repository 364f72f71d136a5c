#include "gui/FileChooser.h"

#include <QFileDialog>

namespace veldrin::gui {

FileChooser openFileDialog(QWidget* parent) {
    return [parent](const QString& caption, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    };
}

FilesChooser openFilesDialog(QWidget* parent) {
    return [parent](const QString& caption, const QString& filter) {
        return QFileDialog::getOpenFileNames(parent, caption, QString(), filter);
    };
}

} // namespace veldrin::gui
