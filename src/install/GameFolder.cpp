#include "install/GameFolder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "base/Error.h"
#include "internal/GamePath.h"
#include "internal/InstallTexts.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

struct GameDataFile {
    const char* name;
    TargetGame target;
};

constexpr std::array<GameDataFile, 3> kGameDataFiles{{
    {"gta3.dat", TargetGame::Gta3},
    {"gta_vc.dat", TargetGame::GtaVc},
    {"gta.dat", TargetGame::GtaSa},
}};

// The data file, in whatever letter case the folder holds it.
std::optional<fs::path> dataFile(const fs::path& root, const char* name) {
    const auto file = findInGameFolder(root, std::string("data\\") + name);
    std::error_code error;
    if (!file || !fs::is_regular_file(*file, error)) return std::nullopt;
    return file;
}

// The game's data folder itself (GAME/data), named instead of the game folder: it holds default.dat and
// one of the game's data files directly.
bool isDataFolder(const fs::path& folder) {
    const auto holds = [&](const char* name) {
        const auto file = findInGameFolder(folder, name);
        std::error_code error;
        return file && fs::is_regular_file(*file, error);
    };
    return holds("default.dat") && std::any_of(kGameDataFiles.begin(), kGameDataFiles.end(),
                                               [&](const GameDataFile& f) { return holds(f.name); });
}

} // namespace

GameFolder recogniseGameFolder(const fs::path& given) {
    // "GAME/" and "GAME" alike: the install's paths are made relative to it.
    fs::path root = given.lexically_normal();
    if (!root.has_filename() && root.has_parent_path()) root = root.parent_path();
    std::error_code error;
    if (!fs::is_directory(root, error)) throw VeldrinError(fs::exists(root, error) ? texts::notAFolder(root) : texts::noSuchFolder(root));
    std::vector<std::pair<const GameDataFile*, fs::path>> found;
    for (const GameDataFile& file : kGameDataFiles)
        if (const auto path = dataFile(root, file.name)) found.emplace_back(&file, *path);
    const auto defaultFile = dataFile(root, "default.dat");
    const bool hasDefault = defaultFile.has_value();
    if (found.empty() && !hasDefault && isDataFolder(root)) throw VeldrinError(texts::dataFolderGiven(root, root.parent_path()));
    if (found.empty() || !hasDefault)
        throw VeldrinError(texts::notAGameFolder(root, hasDefault ? "default.dat alone" : found.empty() ? "neither" : std::string(found[0].first->name) + " alone"));
    if (found.size() > 1) throw VeldrinError(texts::twoGames(root, found[0].first->name, found[1].first->name));
    GameFolder game;
    game.root = root;
    game.target = found[0].first->target;
    game.gameDataFile = found[0].second;
    game.defaultDataFile = *defaultFile;
    return game;
}

fs::path installFolder(const GameFolder& game) { return game.root / "veldrin"; }

} // namespace veldrin::install
