#pragma once
#include <filesystem>
#include <string>

#include "base/Editions.h"
#include "install/GameFolder.h"
#include "install/Uninstall.h"

namespace veldrin {

struct InstallPlan;

// The install's words to the user, in one place: refusals, and the plan as both front ends show it.
namespace installText {

std::string dtzWithoutImg(const std::filesystem::path& dtz);
std::string twoCollisionMaps(const std::filesystem::path& first, const std::filesystem::path& second);
std::string emptySourceFolder(const std::filesystem::path& folder);
std::string noSources();
std::string targetDisagrees(TargetGame given, const install::GameFolder& game);
std::string colMapUnreadable(const std::filesystem::path& dtz, const std::string& reason);
std::string colMapAmbiguous(const std::filesystem::path& dtz);
std::string limitPassed(const std::string& passed);
std::string noDictionaries();
std::string leftAsItWas(const std::filesystem::path& gameDir);
std::string unresolvedDictionary(const std::string& ide, std::size_t line, const std::string& dictionary);
std::string unsplittablePlacements(const std::string& ipl, std::size_t perFile);
std::string argumentsSwapped(const std::filesystem::path& given, const std::filesystem::path& gameFolder);
std::string levelRenamed(const std::filesystem::path& lvz, const std::string& name);

// The plan: the game and the earlier install it replaces, one line per level (edition, models, id range,
// model/LOD prefix, dictionaries, placements) and the collision map, the names chosen for levels, then
// the limit table (figure and limit of each, the ones passed marked).
std::string planText(const InstallPlan& plan);

// What "Check" and install --check tell of an install: every recorded file with its state, the data
// file's lines (as written, or both sides when they changed) and the verdict, lines ending in "\n".
std::string checkText(const install::InstallStatus& status, const install::GameFolder& game);

} // namespace installText

} // namespace veldrin
