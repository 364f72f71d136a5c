#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/batch/BatchRun.h"
#include "app/options/ConversionOptions.h"
#include "collision/StoriesColModel.h"
#include "install/GameContent.h"
#include "install/GameFolder.h"
#include "install/GameLimits.h"

namespace veldrin {

// What the user asks to install: the game folder, the sources (LVZ files, or folders of a Stories
// game's files: its levels and GAME.DTZ with GAME.IMG beside it) and the conversion options.
struct InstallRequest {
    std::filesystem::path gameDir;
    std::vector<std::filesystem::path> sources;
    ConversionOptions options;                 // the run's settings; the target, the index files, the
                                               // collision and the output folder are the install's
    std::optional<TargetGame> target;          // given: must be the game's
    std::optional<int> idOffset;               // given: the ids run from here, none of them the game's
    std::optional<StoriesEdition> colMapGame;  // given: the collision map is read as this game's
    bool allowOverLimits = false;              // for games with a limit adjuster: limits are shown, not refused
};

// The sources sorted: the levels, and the collision map's GAME.DTZ and game IMG when a folder holds both.
struct InstallSources {
    std::vector<std::filesystem::path> levels;
    std::optional<std::filesystem::path> dtz, img;
};
InstallSources collectInstallSources(const std::vector<std::filesystem::path>& sources);

// The collision map as planned: converted from GAME.DTZ and its IMG, its objects drawn by the invisible model.
struct ColMapPlan {
    std::filesystem::path dtz, img;
    StoriesEdition game = StoriesEdition::LCS;
    bool gameDetected = false;
    std::string modelPrefix = "colmap";
    std::string fileName = "colmap"; // of its IDE and IPL in the install folder
    int firstId = 0;
    int models = 0;
    int placements = 0;
};

// An install already in the game folder, which a new install replaces as a whole.
struct EarlierInstall {
    std::string version;             // of the Veldrin that wrote it
    std::vector<std::string> levels; // the level names its record lists
    bool collisionMap = false;       // it holds a collision map
    std::size_t files = 0;           // files its record lists
};

// Everything decided before anything is written.
struct InstallPlan {
    InstallRequest request;
    install::GameFolder game;
    install::GameContent content;
    std::vector<BatchLevel> levels; // each with its edition, first id, model prefix and level name settled
    std::optional<ColMapPlan> colMap;
    install::AddedContent added;
    std::vector<install::LimitRow> limits;
    std::optional<EarlierInstall> earlier; // the install this one replaces, when there is one
    std::vector<std::string> folderRefusals; // why the game folder cannot take an install now
    std::vector<std::string> notes;          // what the plan chose for the user (a level's name of its own)

    // Why the install cannot go ahead: the game folder's refusals, levels that cannot be converted, and
    // the limits passed (unless allowed). Empty when it can.
    std::vector<std::string> refusals() const;
};

// Recognises the game (refusing a --target that disagrees), checks that its folder can take an install,
// reads the install it replaces, its content, every level and the collision map, and plans ids, names
// (an ASCII level name and a model prefix short enough for the game's name fields, chosen when the
// level's own do not fit) and limits. Writes nothing. Throws VeldrinError when the game folder, the
// sources or the collision map cannot be used.
InstallPlan planInstall(const InstallRequest& request);

// The names an installed level's files go by, inside the install folder.
inline constexpr const char* kInstallArchiveName = "veldrin.img";
inline constexpr const char* kInstallArchiveDirectory = "veldrin.dir";
inline constexpr const char* kInstallCollisionFile = "veldrin.col";  // GTA 3, GTA VC
inline constexpr const char* kInstallCollisionEntry = "VELDRIN.COL"; // GTA SA: an entry of the archive
inline constexpr const char* kInstallDictionaryName = "veldrin";     // the empty dictionary the collision map's models name

} // namespace veldrin
