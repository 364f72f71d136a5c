#include "internal/GamePath.h"

#include <vector>

#include "base/TextUtil.h"
#include "internal/DataFileText.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> partsOf(std::string_view gamePath) { return splitAt(gamePath, "\\/"); }

} // namespace

bool isInsideGamePath(std::string_view gamePath) {
    if (gamePath.empty() || gamePath.front() == '\\' || gamePath.front() == '/') return false;
    if (gamePath.find(':') != std::string_view::npos) return false;
    const std::vector<std::string> parts = partsOf(gamePath);
    if (parts.empty()) return false;
    for (const std::string& part : parts)
        if (part == ".." || part == ".") return false;
    return true;
}

std::optional<fs::path> findInGameFolder(const fs::path& root, std::string_view gamePath) {
    if (!isInsideGamePath(gamePath)) return std::nullopt;
    fs::path at = root;
    for (const std::string& part : partsOf(gamePath)) {
        std::error_code error;
        if (fs::exists(at / part, error)) {
            at /= part;
            continue;
        }
        // The folder is read once per part that misses; game folders hold few entries per folder.
        const std::string wanted = toLower(part);
        std::optional<fs::path> match;
        for (fs::directory_iterator it(at, error), end; !error && it != end; it.increment(error)) {
            if (toLower(it->path().filename().string()) == wanted) {
                match = it->path();
                break;
            }
        }
        if (!match) return std::nullopt;
        at = *match;
    }
    return at;
}

std::string gamePathText(const fs::path& relative) {
    std::string text = relative.generic_string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

bool isInInstallFolder(std::string_view gamePath) {
    const std::vector<std::string> parts = partsOf(gamePath);
    return parts.size() > 1 && toLower(parts.front()) == "veldrin";
}

} // namespace veldrin::install
