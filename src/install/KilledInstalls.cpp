#include "internal/KilledInstalls.h"

#include <optional>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "base/TextUtil.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

// The process id a folder name carries after its prefix; none when it is not one of ours.
std::optional<long long> processOf(const std::string& name, std::string_view prefix) {
    if (name.rfind(prefix, 0) != 0) return std::nullopt;
    const std::size_t end = name.find('-', prefix.size());
    return parseInteger(name.substr(prefix.size(), end == std::string::npos ? std::string::npos : end - prefix.size()));
}

} // namespace

void tidyAfterKilledInstalls(const fs::path& root) {
    std::error_code error;
    std::vector<fs::path> staging, replaced;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        // Only a plain folder can be a commit's: a link of that name (or anything else) is not touched,
        // so a planted link never becomes the install folder.
        std::error_code typeError;
        if (it->is_symlink(typeError) || !it->is_directory(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (const auto pid = processOf(name, kStagingPrefix); pid && processIsGone(*pid)) staging.push_back(it->path());
        if (const auto pid = processOf(name, kReplacedPrefix); pid && processIsGone(*pid)) replaced.push_back(it->path());
    }
    std::error_code ignored;
    for (const fs::path& folder : staging) fs::remove_all(folder, ignored);
    for (const fs::path& folder : replaced) {
        if (!fs::exists(fs::symlink_status(root / "veldrin", ignored))) fs::rename(folder, root / "veldrin", ignored);
        else fs::remove_all(folder, ignored);
    }
}

} // namespace veldrin::install
