#include "gui/LaunchArguments.h"

namespace veldrin::gui {

LaunchArguments parseLaunchArguments(const QStringList& args) {
    LaunchArguments a;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == "--screenshot" && i + 1 < args.size()) a.screenshotFolder = args[++i];
        else if (!arg.startsWith('-') && a.level.isEmpty()) a.level = arg;
        else a.bad = true;
    }
    return a;
}

} // namespace veldrin::gui
