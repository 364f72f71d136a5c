#include <QApplication>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "GuiTestRegistry.h"
#include "gui/ApplicationLook.h"

namespace veldrin::test {

namespace {
std::map<std::string, GuiTestFactory>& registry() {
    static std::map<std::string, GuiTestFactory> classes;
    return classes;
}
} // namespace

bool registerGuiTest(const char* name, GuiTestFactory factory) {
    registry()[name] = std::move(factory);
    return true;
}

} // namespace veldrin::test

// test_gui [CLASS] [Qt Test options]: runs one test class, or every class when none is named.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings the windows keep between sessions go to a test location, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    veldrin::gui::applyApplicationLook(app);
    auto& classes = veldrin::test::registry();
    if (argc > 1 && classes.count(argv[1])) {
        const std::unique_ptr<QObject> test = classes[argv[1]]();
        argv[1] = argv[0];
        return QTest::qExec(test.get(), argc - 1, argv + 1);
    }
    int failures = 0;
    for (auto& [name, factory] : classes) {
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
