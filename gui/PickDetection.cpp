#include "gui/PickDetection.h"

#include <QThread>
#include <algorithm>
#include <memory>

namespace veldrin::gui {

PickDetection::PickDetection(QObject* parent) : QObject(parent) {}

PickDetection::~PickDetection() {
    for (QThread* worker : workers_) {
        disconnect(worker, nullptr, this, nullptr);
        worker->wait();
        delete worker;
    }
}

void PickDetection::start(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath) {
    const std::uint64_t generation = ++generation_;
    pending_ = true;
    auto result = std::make_shared<DetectedEdition>();
    QThread* worker = QThread::create([read = read, lvzPath, imgPath, result] { *result = read(lvzPath, imgPath); });
    workers_.push_back(worker);
    // Queued to this thread: `finished` is emitted on the worker.
    connect(worker, &QThread::finished, this, [this, worker, generation, result] {
        workers_.erase(std::find(workers_.begin(), workers_.end(), worker));
        worker->wait();
        worker->deleteLater();
        if (generation != generation_) return; // a later pick, or the window closed, since this one started
        pending_ = false;
        emit detected(*result);
    });
    worker->start();
}

void PickDetection::cancel() {
    ++generation_;
    pending_ = false;
}

} // namespace veldrin::gui
