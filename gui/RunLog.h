#pragma once
#include <QString>
#include <QWidget>

class QPlainTextEdit;

namespace veldrin::gui {

// The log pane's words.
inline const char* const kLogCaption = "Log:";
inline const char* const kLogClearCaption = "Clear";
inline const char* const kLogPlaceholder =
    "Drop LVZ files or a folder here, or use \"Browse LVZ\".\n\n"
    "Each run's steps, warnings and result are kept here for the session.";
inline const char* const kLogWarningPrefix = "Warning: ";
inline const char* const kLogFailedPrefix = "Failed: ";
inline const char* const kLogStopped = "Stopped";

// The main window's log pane: what every run of the session said, in order, until "Clear". A run's
// title starts a paragraph; its steps and warnings are indented under it; its result closes it.
class RunLog : public QWidget {
    Q_OBJECT
public:
    explicit RunLog(QWidget* parent = nullptr);

    void startRun(const QString& title);
    void addStep(const QString& text);
    void addWarning(const QString& text);
    // The run's result, or a note outside any run (a level's detected edition); may span lines.
    void addLine(const QString& text);
    void clear();
    QString text() const;

private:
    QPlainTextEdit* view_;
};

} // namespace veldrin::gui
