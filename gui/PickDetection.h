#pragma once
#include <QObject>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "gui/DetectedEdition.h"

class QThread;

namespace veldrin::gui {

using EditionReader = std::function<DetectedEdition(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath)>;

// A picked level's edition, detected on a worker thread so that a pick never holds the window while the
// whole level is read. Only the latest request is answered: a later request or cancel() makes every
// earlier one's result stale, however late it arrives.
class PickDetection : public QObject {
    Q_OBJECT
public:
    explicit PickDetection(QObject* parent = nullptr);
    // Waits for the workers still reading: a reading cannot be stopped, and its files may go away.
    ~PickDetection() override;

    void start(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath);
    void cancel();
    // A request is waiting for its result.
    bool isPending() const { return pending_; }
    // Workers still reading, stale ones included.
    int runningWorkers() const { return static_cast<int>(workers_.size()); }

    // What a worker runs; the tests replace it.
    EditionReader read = detectPickedEdition;

signals:
    void detected(const veldrin::gui::DetectedEdition& result);

private:
    std::uint64_t generation_ = 0;
    bool pending_ = false;
    std::vector<QThread*> workers_;
};

} // namespace veldrin::gui
