#include "gui/WarningsMessage.h"

namespace veldrin::gui {

namespace {
// More would not fit on the screen.
constexpr int kWarningsShown = 20;
} // namespace

QString warningsMessage(const QStringList& warnings) {
    QStringList lines = warnings.mid(0, kWarningsShown);
    if (warnings.size() > kWarningsShown) lines << QString("... and %1 more.").arg(warnings.size() - kWarningsShown);
    return QString("The conversion finished with %1 warning(s):\n").arg(warnings.size()) + lines.join('\n');
}

} // namespace veldrin::gui
