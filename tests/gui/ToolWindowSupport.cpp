#include "ToolWindowSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QSignalSpy>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/MainWindow.h"
#include "gui/ToolWindow.h"

namespace veldrin::test {

bool runThroughTheWindow(gui::ToolWindow& tool, QAbstractButton* button, const std::function<bool()>& whileRunning) {
    QSignalSpy ended(&tool, &gui::ToolWindow::conversionEnded);
    button->click();
    if (whileRunning && !whileRunning()) return false;
    return (!ended.isEmpty() || ended.wait(kRunTimeoutMs)) && ended.size() == 1; // a refusal ends inside the click
}

QString openThroughTheMenu(gui::MainWindow& window, gui::ToolWindow& tool, const QString& caption, QPoint offset) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return "the main window is not shown";
    window.move(300, 150);
    toolMenuItem(window, caption)->trigger();
    if (!tool.isVisible()) return "not open";
    const QPoint at = tool.pos() - window.pos();
    if (at != offset) return QString("at the main window's place plus (%1, %2)").arg(at.x()).arg(at.y());
    if (window.isEnabled()) return "the main window is not held";
    if (!tool.isEnabled()) return "not enabled";
    return {};
}

QString closeAndRelease(gui::MainWindow& window, gui::ToolWindow& tool) {
    tool.close();
    if (tool.isVisible()) return "still open";
    if (!window.isEnabled()) return "the main window is still held";
    return {};
}

} // namespace veldrin::test
