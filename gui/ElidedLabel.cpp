#include "gui/ElidedLabel.h"

#include <QFontMetrics>

#include <algorithm>

namespace veldrin::gui {

ElidedLabel::ElidedLabel(const QString& prefix, const QString& text, QWidget* parent)
    : QLabel(parent), prefix_(prefix), text_(text) {
    setTextFormat(Qt::PlainText);
    refresh();
}

void ElidedLabel::setElidedText(const QString& text) {
    text_ = text;
    refresh();
}

QSize ElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

QSize ElidedLabel::sizeHint() const { return {0, QLabel::sizeHint().height()}; }

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    refresh();
}

void ElidedLabel::refresh() {
    const QFontMetrics metrics(font());
    const int room = contentsRect().width() - metrics.horizontalAdvance(prefix_);
    const QString shown = metrics.elidedText(text_, Qt::ElideMiddle, std::max(0, room));
    setText(prefix_ + shown);
    setToolTip(shown == text_ ? QString() : fullText());
}

} // namespace veldrin::gui
