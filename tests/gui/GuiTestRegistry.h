#pragma once
#include <QObject>
#include <functional>
#include <memory>

namespace veldrin::test {

// The window tests are Qt Test classes, one per file, each registered by name so that the test
// program can run one class (as CTest does) or all of them.
using GuiTestFactory = std::function<std::unique_ptr<QObject>()>;
bool registerGuiTest(const char* name, GuiTestFactory factory);

} // namespace veldrin::test

#define VELDRIN_GUI_TEST(Class)                                                                                    \
    [[maybe_unused]] static const bool registered##Class =                                                          \
        veldrin::test::registerGuiTest(#Class, [] { return std::make_unique<Class>(); });
