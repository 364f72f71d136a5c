#pragma once
#include <QString>
#include <QStringList>
#include <filesystem>
#include <vector>

#include "app/batch/BatchRun.h"
#include "app/options/ConversionOptions.h"
#include "app/run/LevelRun.h"
#include "gui/LinkedMessage.h"

namespace veldrin::gui {

inline const char* const kOpenReportCaption = "Open report";
inline const char* const kOpenViewCaption = "Open 3D view";
inline const char* const kOpenFolderCaption = "Open folder";

// What the final message of a converted level says: what was written where, then the warnings, if any.
QString runEndText(const ConversionOptions& options, const RunSummary& summary, const QStringList& warnings);
// Its buttons: the run's report page when one was written, the page at its 3D view when it has one, and
// the level's output folder.
MessageLinks runEndLinks(const ConversionOptions& options, const RunSummary& summary);

// The final message of levels converted in turn: one line per level, then the warnings as a single run tells them.
QString batchEndText(const std::vector<BatchLevelResult>& results, const QStringList& warnings);
// Its buttons: the batch's summary page when one was written, and the folder that holds the levels'
// output folders.
MessageLinks batchEndLinks(const std::filesystem::path& outputFolder, const std::filesystem::path& summaryFolder);

} // namespace veldrin::gui
