#include "app/ConversionOptions.h"

#include "base/TextUtil.h"

namespace veldrin {

std::string lodPrefixFor(const std::string& modelPrefix) {
    return "LOD" + (modelPrefix.size() > 3 ? modelPrefix.substr(3) : std::string());
}

std::string ConversionOptions::lodPrefix() const { return lodPrefixFor(modelPrefix); }

std::filesystem::path pairedImgPath(const std::filesystem::path& lvzPath) {
    std::filesystem::path img = lvzPath;
    img.replace_extension(".IMG");
    return img;
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
