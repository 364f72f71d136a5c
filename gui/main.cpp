#include <QApplication>
#include <QSettings>
#include <cstdio>
#include <cstring>
#include <exception>

#include "gui/ApplicationLook.h"
#include "gui/LaunchArguments.h"
#include "gui/MainWindow.h"
#include "gui/Screenshots.h"
#include "gui/SessionSettings.h"

int main(int argc, char** argv) {
    using namespace veldrin::gui;
    // The version needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", kApplicationTitle);
        return 0;
    }
    // "--screenshot DIR" saves pictures of the windows and exits; it needs no display.
    const char* screenshotFolder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshotFolder = argv[i + 1];
    }
    if (screenshotFolder && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    applyApplicationLook(app);
    const LaunchArguments launch = parseLaunchArguments(QApplication::arguments());
    if (launch.bad) {
        std::fputs(kLaunchUsage, stderr);
        return 2;
    }

    MainWindow window;
    // Pictures show the windows as they start; a session starts as the last one ended.
    QCoreApplication::setOrganizationName("Veldrin");
    QSettings settings;
    if (!screenshotFolder) restoreSession(window, settings);
    if (!launch.level.isEmpty()) window.pickLevel(launch.level);
    if (screenshotFolder) {
        try {
            for (const QString& file : saveScreenshots(window, QString::fromLocal8Bit(screenshotFolder))) {
                std::printf("%s\n", file.toLocal8Bit().constData());
            }
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "veldrin: %s\n", e.what());
            return 1;
        }
    }
    window.show();
    const int status = QApplication::exec();
    saveSession(window, settings);
    return status;
}
