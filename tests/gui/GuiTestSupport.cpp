#include "GuiTestSupport.h"

#include "base/FileIO.h"

namespace veldrin::test {

std::filesystem::path writeZonFile(const std::filesystem::path& folder, const std::string& text) {
    const std::filesystem::path path = folder / "MAP.ZON";
    writeWholeFile(path, text);
    return path;
}

} // namespace veldrin::test
