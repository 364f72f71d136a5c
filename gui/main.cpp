#include <QApplication>
#include <cstdio>
#include <cstring>
#include <exception>

#include "gui/ApplicationLook.h"
#include "gui/MainWindow.h"
#include "gui/Screenshots.h"

int main(int argc, char** argv) {
    using namespace veldrin::gui;
    // "--screenshot DIR" saves pictures of the windows and exits; it needs no display.
    const char* screenshotFolder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshotFolder = argv[i + 1];
    }
    if (screenshotFolder && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    applyApplicationLook(app);
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && !(args.size() == 3 && args[1] == "--screenshot")) {
        std::fputs("usage: veldrin [--screenshot DIR]\n", stderr);
        return 2;
    }

    TForm1 window;
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
    return QApplication::exec();
}
