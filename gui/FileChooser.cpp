#include "gui/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace veldrin::gui {

QString openFileIn(QWidget* parent, const QString& caption, const QString& filter) {
    QSettings settings;
    const QString key = "folders/" + caption;
    const QString path = QFileDialog::getOpenFileName(parent, caption, settings.value(key).toString(), filter);
    if (!path.isEmpty()) settings.setValue(key, QFileInfo(path).absolutePath());
    return path;
}

FileChooser openFileDialog(QWidget* parent) {
    return [parent](const QString& caption, const QString& filter) { return openFileIn(parent, caption, filter); };
}

FilesChooser openFilesDialog(QWidget* parent) {
    return [parent](const QString& caption, const QString& filter) {
        QSettings settings;
        const QString key = "folders/" + caption;
        const QStringList paths = QFileDialog::getOpenFileNames(parent, caption, settings.value(key).toString(), filter);
        if (!paths.isEmpty()) settings.setValue(key, QFileInfo(paths.front()).absolutePath());
        return paths;
    };
}

FolderChooser openFolderDialog(QWidget* parent) {
    return [parent](const QString& caption, const QString& start) {
        QSettings settings;
        const QString key = "folders/" + caption;
        const QString folder =
            QFileDialog::getExistingDirectory(parent, caption, start.isEmpty() ? settings.value(key).toString() : start);
        if (!folder.isEmpty()) settings.setValue(key, folder);
        return folder;
    };
}

} // namespace veldrin::gui
