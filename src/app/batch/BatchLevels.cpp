#include "app/batch/BatchLevels.h"

#include <algorithm>
#include <system_error>

#include "base/Error.h"
#include "base/TextUtil.h"

namespace veldrin {

namespace fs = std::filesystem;

bool hasLvzExtension(const fs::path& path) { return toLower(path.extension().string()) == ".lvz"; }

namespace {

std::vector<fs::path> levelsInFolder(const fs::path& folder) {
    std::vector<fs::path> levels;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (hasLvzExtension(it->path()) && it->is_regular_file(typeError)) levels.push_back(it->path());
    }
    if (error) throw VeldrinError("Cannot read the folder " + folder.string() + ": " + error.message());
    // Name order by bytes, so the order (and with it the planned ids) is the same on every system.
    std::sort(levels.begin(), levels.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
    if (levels.empty()) throw VeldrinError("No .lvz files in " + folder.string());
    return levels;
}

} // namespace

std::vector<fs::path> batchLevelFiles(const std::vector<fs::path>& named) {
    std::vector<fs::path> levels;
    auto add = [&](const fs::path& p) {
        const fs::path key = p.lexically_normal();
        if (std::none_of(levels.begin(), levels.end(), [&](const fs::path& q) { return q.lexically_normal() == key; }))
            levels.push_back(p);
    };
    for (const fs::path& p : named) {
        std::error_code error;
        if (fs::is_directory(p, error)) {
            for (const fs::path& level : levelsInFolder(p)) add(level);
        } else {
            add(p); // a missing file fails as that level, with the run's own message
        }
    }
    return levels;
}

} // namespace veldrin
