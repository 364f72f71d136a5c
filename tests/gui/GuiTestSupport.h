#pragma once
#include <QObject>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "gui/Col2Window.h"
#include "gui/ColMapWindow.h"
#include "gui/FileChooser.h"
#include "gui/MainWindow.h"
#include "gui/ZonDialog.h"

class QAction;

namespace veldrin::test {

// The named child, which must exist.
template <typename T>
T* child(const QObject& root, const char* name) {
    T* found = root.findChild<T*>(name);
    if (!found) {
        std::fprintf(stderr, "no child named %s\n", name);
        std::abort();
    }
    return found;
}

// Catches the messages that the window, its ZON dialog and its tool windows would show in message boxes.
struct MessageLog {
    QStringList messages;
    QList<gui::MessageKind> kinds; // one per message
    gui::MessageLinks links;       // of the last message that had buttons
    explicit MessageLog(gui::MainWindow& window) {
        const auto log = [this](const QString& text, gui::MessageKind kind) {
            messages << text;
            kinds << kind;
        };
        window.showMessage = log;
        window.showLinkedMessage = [this, log](const QString& text, gui::MessageKind kind, const gui::MessageLinks& shown) {
            log(text, kind);
            links = shown;
        };
        window.zonDialog()->showMessage = log;
        window.col2Window()->showMessage = log;
        window.colMapWindow()->showMessage = log;
    }
};

// Stands in for the open-file dialog: answers with the paths given, in turn (an empty one cancels), and
// keeps the filter each dialog would have offered.
struct FileChoices {
    QStringList answers;
    QStringList filters;
    gui::FileChooser chooser() {
        return [this](const QString&, const QString& filter) {
            filters << filter;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
    }
};

// The tools menu's item with this caption, which must exist.
QAction* toolMenuItem(gui::MainWindow& window, const QString& caption);

// A MAP.ZON text written next to the tests' other files.
std::filesystem::path writeZonFile(const std::filesystem::path& folder, const std::string& text);

} // namespace veldrin::test
