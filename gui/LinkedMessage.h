#pragma once
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

#include "gui/ApplicationLook.h"

class QMessageBox;
class QWidget;

namespace veldrin::gui {

// A button of a message that hands a page or a folder to the desktop's own program.
struct MessageLink {
    QString caption;
    QUrl url;
};
using MessageLinks = QList<MessageLink>;

// How a window hands a URL to the desktop; the tests replace it so that nothing is launched.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener desktopOpener();

// How a window shows a message with such buttons; the tests replace it to keep the message.
using LinkedMessageShower = std::function<void(const QString&, MessageKind, const MessageLinks&)>;

// A message box as showMessageBox shows it, with a button per link before "OK". Pressing a link's
// button closes the box and hands the link's URL to `open`.
void showLinkedMessageBox(QWidget* parent, const QString& text, MessageKind kind, const MessageLinks& links,
                          const UrlOpener& open);

} // namespace veldrin::gui
