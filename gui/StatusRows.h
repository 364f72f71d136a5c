#pragma once
#include <QProgressBar>
#include <QWidget>

#include "gui/ElidedLabel.h"

namespace veldrin::gui {

// The "Status:" line with its text and the thin progress bar under it, as every converting window has.
struct StatusRows {
    QWidget* widget;
    ElidedLabel* status;
    QProgressBar* progress;
};

StatusRows makeStatusRows(QWidget* parent, int bottomMargin);

} // namespace veldrin::gui
