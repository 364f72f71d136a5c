#pragma once
#include <QFont>
#include <QString>

class QApplication;
class QWidget;

namespace veldrin::gui {

inline const char* const kApplicationTitle = "Veldrin v1.2";
inline const char* const kMainWindowCaption = "GTA Veldrin v1.2";
inline const char* const kVersionText = "v1.2";

// The application's name, style and font. The windows have fixed sizes laid out for this font, so the
// program and the window tests both start with it.
void applyApplicationLook(QApplication& app);

// The application font made bold, or explicitly not bold (so a child of a bold group box keeps the
// regular weight instead of inheriting its caption's).
QFont boldFont();
QFont regularFont();

// A message box captioned with the application's title, as every message of the program is shown.
void showMessageBox(QWidget* parent, const QString& text);

} // namespace veldrin::gui
