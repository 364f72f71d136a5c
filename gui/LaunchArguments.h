#pragma once
#include <QString>
#include <QStringList>

namespace veldrin::gui {

// What "veldrin [LEVEL.lvz] [--screenshot DIR]" asks for ("veldrin --version" is answered before).
struct LaunchArguments {
    QString level;            // picked as if browsed
    QString screenshotFolder; // save pictures of the windows there and exit
    bool bad = false;         // anything else: print the usage, exit 2
};

// `args` as QApplication::arguments() gives them, the program first.
LaunchArguments parseLaunchArguments(const QStringList& args);

inline const char* const kLaunchUsage = "usage: veldrin [LEVEL.lvz] [--screenshot DIR] | veldrin --version\n";

} // namespace veldrin::gui
