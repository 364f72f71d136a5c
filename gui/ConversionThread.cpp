#include "gui/ConversionThread.h"

#include <exception>

#include "app/batch/BatchSummary.h"
#include "app/detect/EditionDetection.h"
#include "gui/DetectedEdition.h"

namespace veldrin::gui {

ConversionThread::ConversionThread(ConversionOptions options, QObject* parent)
    : QThread(parent), options_(std::move(options)) {}

ConversionThread::ConversionThread(ConversionOptions options, std::vector<std::filesystem::path> levels,
                                   std::optional<std::filesystem::path> outputFolder, QObject* parent)
    : QThread(parent), options_(std::move(options)), levels_(std::move(levels)), batchFolder_(std::move(outputFolder)) {}

void ConversionThread::run() {
    RunCallbacks callbacks;
    callbacks.status = [this](const std::string& text) { emit statusChanged(QString::fromStdString(text)); };
    callbacks.progress = [this](int position, int maximum) { emit progressChanged(position, maximum); };
    callbacks.warning = [this](WarningKind, const std::string& text) { emit warningRaised(QString::fromStdString(text)); };
    callbacks.stopRequested = [this] { return stop_.load(); };
    try {
        if (isBatch()) {
            BatchSettings settings;
            settings.options = options_;
            settings.outputFolder = batchFolder_;
            BatchCallbacks batch;
            batch.run = callbacks;
            batchResults_ = planAndRunBatch(levels_, settings, {}, batch);
            if (options_.writeReport && !batchResults_.empty()) {
                const std::filesystem::path folder = batchFolder(batchResults_);
                try {
                    writeBatchSummary(batchResults_, folder);
                    batchSummaryFolder_ = folder;
                } catch (const std::exception& e) {
                    // The levels are written; only their summary page is missing.
                    emit warningRaised(QString::fromStdString(std::string("batch summary not written: ") + e.what()));
                }
            }
            return;
        }
        summary_ = runConversion(options_, callbacks);
    } catch (const EditionRefused& e) {
        failure_ = editionRefusalText(e.choice());
    } catch (const std::exception& e) {
        failure_ = QString::fromStdString(e.what());
        if (failure_.isEmpty()) failure_ = "Error";
    } catch (...) {
        failure_ = "Error";
    }
}

} // namespace veldrin::gui
