#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace veldrin::gui {

// How a window asks the user for a file to open, given the dialog's caption and its filter: the chosen
// path, or empty when the user cancels. The tests replace it to choose without a dialog.
using FileChooser = std::function<QString(const QString& caption, const QString& filter)>;

// The same for several files at once: the chosen paths, none when the user cancels.
using FilesChooser = std::function<QStringList(const QString& caption, const QString& filter)>;

// How a window asks for a folder, given the dialog's caption and the folder it starts in: the chosen
// folder, or empty when the user cancels.
using FolderChooser = std::function<QString(const QString& caption, const QString& start)>;

// The desktop's open-file dialog over `parent`, starting in the folder that the dialog of the same
// caption chose from last (kept between sessions), or the working folder the first time.
FileChooser openFileDialog(QWidget* parent);
QString openFileIn(QWidget* parent, const QString& caption, const QString& filter);
FilesChooser openFilesDialog(QWidget* parent);
// The desktop's folder dialog over `parent`, starting in `start`, or where the dialog of the same caption
// chose last when `start` is empty.
FolderChooser openFolderDialog(QWidget* parent);

} // namespace veldrin::gui
