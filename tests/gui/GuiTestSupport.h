#pragma once
#include <QObject>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "gui/MainWindow.h"
#include "gui/ZonDialog.h"

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

// Catches the messages that the window and its ZON dialog would show in message boxes.
struct MessageLog {
    QStringList messages;
    explicit MessageLog(gui::TForm1& window) {
        window.showMessage = [this](const QString& text) { messages << text; };
        window.zonDialog()->showMessage = [this](const QString& text) { messages << text; };
    }
};

// A MAP.ZON text written next to the tests' other files.
std::filesystem::path writeZonFile(const std::filesystem::path& folder, const std::string& text);

} // namespace veldrin::test
