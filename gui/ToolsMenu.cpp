#include "gui/ToolsMenu.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace veldrin::gui {

void fillToolsMenu(QMenu& menu, const std::vector<ToolMenuItem>& items) {
    for (const ToolMenuItem& item : items) menu.addAction(item.caption, item.open);
}

QIcon toolsIcon() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor steel(70, 80, 95);
    // The handle, lower left to upper right.
    painter.setPen(QPen(steel, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3, 13), QPointF(9.5, 6.5));
    // The open jaw: a ring with a notch facing the upper right.
    QPainterPath jaw;
    jaw.addEllipse(QPointF(11, 5), 4.2, 4.2);
    QPainterPath notch;
    notch.addRect(QRectF(11, 0, 5, 5));
    painter.fillPath(jaw.subtracted(notch), steel);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(11, 5), 1.6, 1.6);
    return QIcon(picture);
}

} // namespace veldrin::gui
