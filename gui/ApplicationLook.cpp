#include "gui/ApplicationLook.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>

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

void showMessageBox(QWidget* parent, const QString& text) {
    // A box over a disabled window (one whose dialog is open) would be born disabled and could not be
    // dismissed: such a box stands on its own.
    QWidget* owner = parent && parent->window()->isEnabled() ? parent : nullptr;
    QMessageBox::information(owner, QApplication::applicationName(), text);
}

} // namespace veldrin::gui
