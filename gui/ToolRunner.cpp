#include "gui/ToolRunner.h"

#include <QThread>
#include <exception>

namespace veldrin::gui {

ToolRunner::ToolRunner(QObject* parent) : QObject(parent) {}

ToolRunner::~ToolRunner() {
    if (!thread_) return;
    disconnect(thread_, nullptr, this, nullptr);
    thread_->wait();
    delete thread_;
}

bool ToolRunner::start(Work work) {
    if (thread_) return false;
    failure_.clear();
    warnings_.clear();
    // The callbacks run on the worker; signals emitted there reach this object's thread queued, in order.
    ColCallbacks callbacks;
    callbacks.status = [this](const std::string& text) { emit statusChanged(QString::fromStdString(text)); };
    callbacks.progress = [this](int position, int maximum) { emit progressChanged(position, maximum); };
    callbacks.warning = [this](const std::string& text) {
        QMetaObject::invokeMethod(this, [this, line = QString::fromStdString(text)] { warnings_ << line; },
                                  Qt::QueuedConnection);
    };
    thread_ = QThread::create([this, work = std::move(work), callbacks = std::move(callbacks)] {
        try {
            work(callbacks);
        } catch (const std::exception& e) {
            failure_ = QString::fromStdString(e.what());
            if (failure_.isEmpty()) failure_ = "Error";
        } catch (...) {
            failure_ = "Error";
        }
    });
    connect(thread_, &QThread::finished, this, &ToolRunner::finish);
    thread_->start();
    return true;
}

void ToolRunner::finish() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    // Copies: a receiver may start the next run straight away.
    const QString failure = failure_;
    const QStringList warnings = warnings_;
    emit ended(failure, warnings);
}

} // namespace veldrin::gui
