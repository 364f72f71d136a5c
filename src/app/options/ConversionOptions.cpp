#include "app/options/ConversionOptions.h"

#include <optional>

#include "base/TextUtil.h"

namespace veldrin {

std::string lodPrefixFor(const std::string& modelPrefix) {
    return "LOD" + (modelPrefix.size() > 3 ? modelPrefix.substr(3) : std::string());
}

std::string ConversionOptions::lodPrefix() const { return lodPrefixFor(modelPrefix); }

std::filesystem::path pairedImgPath(const std::filesystem::path& lvzPath) {
    namespace fs = std::filesystem;
    fs::path img = lvzPath;
    img.replace_extension(".IMG");
    std::error_code ec;
    if (fs::exists(img, ec)) return img;
    // Copied from a disc or an archive, the extension may be in any case: the first such file by name is
    // taken, and ".IMG" stays the name when there is none, so that a message names what was looked for.
    const fs::path folder = lvzPath.has_parent_path() ? lvzPath.parent_path() : fs::path(".");
    std::optional<fs::path> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (name.stem() != lvzPath.stem() || toUpper(name.extension().string()) != ".IMG") continue;
        if (!found || name < *found) found = name;
    }
    return found ? img.replace_filename(*found) : img;
}

std::string levelNameFromImg(const std::filesystem::path& imgPath) {
    return std::string(trimBlanks(toLower(imgPath.stem().string())));
}

void applyLevelPick(ConversionOptions& options, const std::filesystem::path& lvzPath) {
    options.lvzPath = lvzPath;
    options.imgPath = pairedImgPath(lvzPath);
    options.levelName = levelNameFromImg(options.imgPath);
    options.modelPrefix = options.levelName;
    options.texturePrefix = options.levelName;
    options.outputFolder = lvzPath.has_parent_path() ? lvzPath.parent_path() : std::filesystem::path(".");
}

} // namespace veldrin
