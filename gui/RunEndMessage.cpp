#include "gui/RunEndMessage.h"

#include "app/batch/BatchTable.h"
#include "gui/PathText.h"
#include "gui/WarningsMessage.h"

namespace veldrin::gui {

namespace {

QUrl localUrl(const std::filesystem::path& folder) { return QUrl::fromLocalFile(toQString(folder)); }

} // namespace

QString runEndText(const ConversionOptions& options, const RunSummary& summary, const QStringList& warnings) {
    // Said by the warnings when there are any, so the first line tells what needs a look.
    if (!warnings.isEmpty()) return warningsMessage(warnings);
    return QString::fromStdString(convertedLine(summary, options));
}

MessageLinks runEndLinks(const ConversionOptions& options, const RunSummary& summary) {
    MessageLinks links;
    if (!summary.reportFolder.empty()) {
        links.append({kOpenReportCaption, localUrl(summary.reportFolder / "index.html")});
        // The view's scene lies beside the page; a report written without one has no view to open.
        if (std::filesystem::is_regular_file(summary.reportFolder / "scene.js")) {
            QUrl view = localUrl(summary.reportFolder / "index.html");
            view.setFragment("view");
            links.append({kOpenViewCaption, view});
        }
    }
    links.append({kOpenFolderCaption, localUrl(options.levelFolder())});
    return links;
}

QString batchEndText(const std::vector<BatchLevelResult>& results, const QStringList& warnings) {
    QStringList lines;
    for (const BatchLevelResult& r : results) lines << QString::fromStdString(levelResultLine(r));
    QString text = lines.join('\n');
    if (!warnings.isEmpty()) text += "\n\n" + warningsMessage(warnings);
    return text;
}

MessageLinks batchEndLinks(const std::filesystem::path& outputFolder, const std::filesystem::path& summaryFolder) {
    MessageLinks links;
    if (!summaryFolder.empty()) links.append({kOpenReportCaption, localUrl(summaryFolder / "batch-report.html")});
    if (!outputFolder.empty()) links.append({kOpenFolderCaption, localUrl(outputFolder)});
    return links;
}

} // namespace veldrin::gui
