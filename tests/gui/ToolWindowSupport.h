#pragma once
#include <QPoint>
#include <QString>
#include <functional>

class QAbstractButton;

namespace veldrin::gui {
class MainWindow;
class ToolWindow;
} // namespace veldrin::gui

// What the tests of the side tools' converting windows share.
namespace veldrin::test {

// How long a test waits for a side tool's run to end.
inline constexpr int kRunTimeoutMs = 60000;

// Clicks `button` of `tool` and waits for the run it starts; `whileRunning`, when given, is checked
// between the click and the end. True when the run ended, once, and `whileRunning` held.
bool runThroughTheWindow(gui::ToolWindow& tool, QAbstractButton* button,
                         const std::function<bool()>& whileRunning = {});

// Shows `window` at (300, 150) and triggers its tools menu item `caption`. What is wrong, or nothing
// when `tool` stands open and enabled at the main window's place plus `offset` and holds the main window.
QString openThroughTheMenu(gui::MainWindow& window, gui::ToolWindow& tool, const QString& caption, QPoint offset);

// Closes `tool`. What is wrong, or nothing when it is hidden and the main window is free again.
QString closeAndRelease(gui::MainWindow& window, gui::ToolWindow& tool);

} // namespace veldrin::test
