#pragma once
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "base/Version.h"

class QApplication;
class QWidget;

namespace veldrin::gui {

inline const char* const kApplicationTitle = kVeldrinTitle;                     // "Veldrin v1.2"
inline const char* const kMainWindowCaption = "GTA Veldrin v" VELDRIN_VERSION; // "GTA Veldrin v1.2"
inline const char* const kVersionText = "v" VELDRIN_VERSION;                   // "v1.2"

// The application's name, style and font. The dialogs' sizes and the main window's column of controls are
// laid out for this font, so the program and the window tests both start with it.
void applyApplicationLook(QApplication& app);

// The application font made bold, or explicitly not bold (so a child of a bold group box keeps the
// regular weight instead of inheriting its caption's).
QFont boldFont();
QFont regularFont();

// The width a window needs for its title bar to show `title` whole: the title in the desktop's title
// font, made bold as most window managers draw it and no smaller than kTitlePointSize, plus the room of
// the bar's buttons and margins.
inline constexpr int kTitlePointSize = 11;
int titleBarWidth(const QString& title);

// What a message tells, which sets its box's icon.
enum class MessageKind { Information, Warning, Error };

// A message box captioned with the application's title, as every message of the program is shown.
void showMessageBox(QWidget* parent, const QString& text, MessageKind kind = MessageKind::Information);

// Where a window of `size` (its frame included) goes when asked for at `topLeft`: moved the least that
// puts it wholly inside `area` (the available part of the screen that holds the main window); a window
// larger than the area keeps its top-left corner in it.
QPoint placeInside(QPoint topLeft, QSize size, QRect area);

} // namespace veldrin::gui
