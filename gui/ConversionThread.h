#pragma once
#include <QThread>
#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "app/batch/BatchRun.h"
#include "app/run/LevelRun.h"

namespace veldrin::gui {

// Runs one conversion on its own thread and reports through queued signals, so the window stays
// responsive. After `finished`, summary() and failure() tell how the run ended.
class ConversionThread : public QThread {
    Q_OBJECT
public:
    explicit ConversionThread(ConversionOptions options, QObject* parent = nullptr);
    // Several levels with the same options (each level's own paths, names and planned IDE ids), side by
    // side as the options' jobs allow, into `outputFolder` when one is given, else each beside its LVZ.
    // The signals tell one level's run after the other's, in order.
    ConversionThread(ConversionOptions options, std::vector<std::filesystem::path> levels,
                     std::optional<std::filesystem::path> outputFolder, QObject* parent = nullptr);

    // Asks the run to end before its next model; the model in hand is finished first.
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }

    const ConversionOptions& options() const { return options_; }
    const RunSummary& summary() const { return summary_; }
    // The error's message when the run failed, else empty.
    const QString& failure() const { return failure_; }
    bool isBatch() const { return !levels_.empty(); }
    // Every level's result of a batch, in order.
    const std::vector<BatchLevelResult>& batchResults() const { return batchResults_; }
    // Where a batch with the report on wrote batch-report.html, else empty.
    const std::filesystem::path& batchSummaryFolder() const { return batchSummaryFolder_; }

signals:
    void statusChanged(const QString& text);
    void progressChanged(int position, int maximum);
    void warningRaised(const QString& text);

protected:
    void run() override;

private:
    const ConversionOptions options_;
    std::atomic<bool> stop_{false};
    RunSummary summary_;
    QString failure_;
    const std::vector<std::filesystem::path> levels_;
    const std::optional<std::filesystem::path> batchFolder_;
    std::vector<BatchLevelResult> batchResults_;
    std::filesystem::path batchSummaryFolder_;
};

} // namespace veldrin::gui
