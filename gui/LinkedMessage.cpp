#include "gui/LinkedMessage.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace veldrin::gui {

UrlOpener desktopOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void showLinkedMessageBox(QWidget* parent, const QString& text, MessageKind kind, const MessageLinks& links,
                          const UrlOpener& open) {
    const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                   : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    // As showMessageBox: a box over a disabled window stands on its own, or it could not be dismissed.
    QWidget* owner = parent && parent->window()->isEnabled() ? parent : nullptr;
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::NoButton, owner);
    std::vector<QAbstractButton*> buttons;
    for (const MessageLink& link : links) buttons.push_back(box.addButton(link.caption, QMessageBox::ActionRole));
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i] && open) open(links[static_cast<int>(i)].url);
    }
}

} // namespace veldrin::gui
