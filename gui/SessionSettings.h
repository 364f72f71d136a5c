#pragma once

class QSettings;

namespace veldrin::gui {

class MainWindow;

// What the main window keeps between sessions: its place on the screen, its options (the output folder
// among them), and the settings of its option dialogs. The zone file and the level are not kept: each session picks its own.
void saveSession(const MainWindow& window, QSettings& settings);
// Restores what saveSession kept; a key that is missing or out of range leaves its control as it is.
void restoreSession(MainWindow& window, QSettings& settings);

} // namespace veldrin::gui
