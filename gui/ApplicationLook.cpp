#include "gui/ApplicationLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QStyleFactory>
#include <algorithm>

namespace veldrin::gui {

void applyApplicationLook(QApplication& app) {
    QApplication::setApplicationName(kApplicationTitle);
    // One style everywhere, so the fixed window sizes hold on every desktop.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
    QFont font = QApplication::font();
    font.setPointSize(8);
    // The narrow cut of the family where there is one: the window is 230 pixels wide.
    font.setStretch(QFont::Condensed);
    app.setFont(font);
}

QFont boldFont() {
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

QFont regularFont() {
    QFont font = QApplication::font();
    font.setBold(false);
    return font;
}

int titleBarWidth(const QString& title) {
    // The window manager draws the bar in a font of its own that the toolkit cannot ask for; the
    // platform's title font is the best guess, kept from the small sizes that cut titles on most desktops.
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    if (font.pointSizeF() < kTitlePointSize) font.setPointSizeF(kTitlePointSize);
    const int barHeight = QFontMetrics(font).height() + 8;
    // The window's icon and close button, each about as wide as the bar is high, and a margin each side.
    return QFontMetrics(font).horizontalAdvance(title) + 2 * barHeight + 2 * 8;
}

void showMessageBox(QWidget* parent, const QString& text, MessageKind kind) {
    // A box over a disabled window (one whose dialog is open) would be born disabled and could not be
    // dismissed: such a box stands on its own.
    QWidget* owner = parent && parent->window()->isEnabled() ? parent : nullptr;
    switch (kind) {
    case MessageKind::Information: QMessageBox::information(owner, QApplication::applicationName(), text); break;
    case MessageKind::Warning: QMessageBox::warning(owner, QApplication::applicationName(), text); break;
    case MessageKind::Error: QMessageBox::critical(owner, QApplication::applicationName(), text); break;
    }
}

QPoint placeInside(QPoint topLeft, QSize size, QRect area) {
    const int x = std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

} // namespace veldrin::gui
