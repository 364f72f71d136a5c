#include "GuiTestSupport.h"

#include <QAction>
#include <QMenu>

#include "base/FileIO.h"

namespace veldrin::test {

std::filesystem::path writeZonFile(const std::filesystem::path& folder, const std::string& text) {
    const std::filesystem::path path = folder / "MAP.ZON";
    writeWholeFile(path, text);
    return path;
}

QAction* toolMenuItem(gui::MainWindow& window, const QString& caption) {
    for (QAction* action : child<QMenu>(window, "ToolsMenu")->actions()) {
        if (action->text() == caption) return action;
    }
    std::fprintf(stderr, "no tools menu item %s\n", qPrintable(caption));
    std::abort();
}

} // namespace veldrin::test
