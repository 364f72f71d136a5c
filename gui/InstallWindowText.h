#pragma once
#include <QString>
#include <QStringList>

#include "app/install/InstallPlan.h"
#include "install/Uninstall.h"

// The install window's own words; the plan's words are installText's, shared with the command line.
namespace veldrin::gui {

// The check box that lets an install pass the game's limits, and how the window's advice names it.
inline constexpr const char* kOverLimitsLabel = "Install over the game's limits";
inline constexpr const char* kOverLimitsCaption = "Install over the game's limits (a limit adjuster raises them)";

// Why the plan cannot go ahead, as the window says it: the plan's refusals, a passed limit's advice
// naming the window's check box instead of the command line's flag.
QStringList windowRefusals(const InstallPlan& plan);

// The install record held against the game folder: each file as written, changed or missing, and the
// data file's block with its lines.
QString installCheckText(const install::InstallStatus& status, const install::GameFolder& game);

// What an uninstall removed and what it kept.
QString uninstallText(const install::UninstallResult& result, const QString& gameDir);

QString uninstallQuestion(const QString& gameDir);
// "Replace the earlier install ...?", naming what it holds.
QString replaceQuestion(const EarlierInstall& earlier, const QString& gameDir);

} // namespace veldrin::gui
