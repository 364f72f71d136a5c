#include "gui/StatusRows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace veldrin::gui {

StatusRows makeStatusRows(QWidget* parent, int bottomMargin) {
    auto* rows = new QWidget(parent);
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, bottomMargin);
    column->setSpacing(2);
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    auto* caption = new QLabel("Status:", rows);
    caption->setObjectName("StatusCaption");
    auto* status = new ElidedLabel("", "Ready...", rows);
    status->setObjectName("StatusText");
    line->addWidget(caption);
    line->addWidget(status, 1);
    column->addLayout(line);
    auto* progress = new QProgressBar(rows);
    progress->setObjectName("ProgressBar1");
    progress->setFixedHeight(9);
    progress->setTextVisible(false);
    progress->setRange(0, 1);
    progress->setValue(0);
    column->addWidget(progress);
    return {rows, status, progress};
}

} // namespace veldrin::gui
