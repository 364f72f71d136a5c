#pragma once
#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

class QMenu;

namespace veldrin::gui {

// One side tool of the main window's tools menu: its caption and how it opens.
struct ToolMenuItem {
    QString caption;
    std::function<void()> open;
};

inline const char* const kInstallIntoGameCaption = "Install into game...";

// One action per item, in order.
void fillToolsMenu(QMenu& menu, const std::vector<ToolMenuItem>& items);

// The picture of the tools button: a small spanner.
QIcon toolsIcon();

} // namespace veldrin::gui
