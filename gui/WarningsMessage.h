#pragma once
#include <QString>
#include <QStringList>

namespace veldrin::gui {

// The one message that tells the warnings of a finished run: how many there were and the first ones.
QString warningsMessage(const QStringList& warnings);

} // namespace veldrin::gui
