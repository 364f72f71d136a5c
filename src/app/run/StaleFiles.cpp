#include "app/run/StaleFiles.h"

#include <algorithm>
#include <system_error>

#include "base/Error.h"

namespace veldrin {

namespace fs = std::filesystem;

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> staleEntries(const std::vector<std::string>& before, const std::vector<WrittenFile>& written) {
    std::vector<std::string> stale;
    for (const std::string& name : before) {
        const bool rewritten = std::any_of(written.begin(), written.end(),
                                           [&](const WrittenFile& f) { return f.archive.empty() && f.name == name; });
        if (!rewritten) stale.push_back(name);
    }
    return stale;
}

std::string staleFilesWarning(const fs::path& levelFolder, std::size_t count) {
    return levelFolder.string() + " holds " + std::to_string(count) +
           " file(s) this run did not write, left from earlier runs (--clean removes the folder first)";
}

namespace {

// True when `path` lies inside `folder`, both already absolute and normal.
bool isInside(const fs::path& path, const fs::path& folder) {
    auto f = folder.begin();
    auto p = path.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (f->empty()) continue; // a trailing separator
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

fs::path resolved(const fs::path& path) {
    std::error_code error;
    fs::path r = fs::weakly_canonical(fs::absolute(path), error);
    return error ? fs::absolute(path).lexically_normal() : r;
}

} // namespace

void requireNoInputsInside(const fs::path& folder, const std::vector<fs::path>& inputs) {
    const fs::path real = resolved(folder);
    for (const fs::path& input : inputs) {
        if (!input.empty() && isInside(resolved(input), real))
            throw VeldrinError("Cannot clean " + folder.string() + ": it holds " + input.string() + ", an input of this run");
    }
}

void cleanLevelFolder(const fs::path& outputFolder, const std::string& levelName, const std::vector<fs::path>& inputs) {
    const fs::path name(levelName);
    if (levelName.empty() || levelName == "." || levelName == ".." || name.has_parent_path() ||
        levelName.find_first_of("/\\") != std::string::npos) {
        throw VeldrinError("Cannot clean the output of level \"" + levelName + "\": not a plain folder name");
    }
    const fs::path folder = outputFolder / name;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(folder, error);
    if (!fs::exists(status)) return;
    if (fs::is_symlink(status))
        throw VeldrinError("Cannot clean " + folder.string() + ": it is a link; remove it yourself");
    if (!fs::is_directory(status)) throw VeldrinError("Cannot clean " + folder.string() + ": it is not a folder");
    requireNoInputsInside(folder, inputs);
    fs::remove_all(folder, error);
    if (error) throw VeldrinError("Cannot clean " + folder.string() + ": " + error.message());
}

} // namespace veldrin
