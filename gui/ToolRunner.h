#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "collision/ColCallbacks.h"

class QThread;

namespace veldrin::gui {

// Runs a side tool's work on a worker thread, one run at a time, and reports back on the window's
// thread through queued signals, so the tool's window stays responsive meanwhile.
class ToolRunner : public QObject {
    Q_OBJECT
public:
    // The tool's whole run; it reports through the callbacks and fails by throwing.
    using Work = std::function<void(const ColCallbacks&)>;

    explicit ToolRunner(QObject* parent = nullptr);
    // Waits for a run in progress: the tools cannot be stopped halfway, and their files are written whole.
    ~ToolRunner() override;

    // From start() until `ended` has been emitted.
    bool isRunning() const { return thread_ != nullptr; }
    // Starts `work` unless a run goes on (runs never nest); tells whether it started.
    bool start(Work work);

signals:
    void statusChanged(const QString& text);
    void progressChanged(int position, int maximum);
    // The run is over: the error's message (empty when it succeeded) and the warnings it raised.
    void ended(const QString& failure, const QStringList& warnings);

private:
    void finish();

    QThread* thread_ = nullptr;
    QString failure_;        // written by the worker, read once it has finished
    QStringList warnings_;   // gathered on the window's thread
};

} // namespace veldrin::gui
