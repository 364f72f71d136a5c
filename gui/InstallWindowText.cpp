#include "gui/InstallWindowText.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/batch/BatchTable.h"
#include "app/install/InstallText.h"
#include "base/TextUtil.h"
#include "install/GameLimits.h"

namespace veldrin::gui {

namespace {

QString listed(const std::vector<std::string>& items) { return QString::fromStdString(indentedLines(items)); }

} // namespace

QStringList windowRefusals(const InstallPlan& plan) {
    const std::vector<std::string> passed = install::limitsPassed(plan.limits);
    QStringList why;
    for (const std::string& refusal : plan.refusals()) {
        // The plan's advice names the command line's flag; the window has its check box for it.
        const auto limit = std::find_if(passed.begin(), passed.end(),
                                        [&](const std::string& p) { return installText::limitPassed(p) == refusal; });
        if (limit == passed.end()) why << QString::fromStdString(refusal);
        else
            why << "over the game's limit: " + QString::fromStdString(*limit) + " (a limit adjuster raises it: then tick \"" +
                       kOverLimitsLabel + "\" below)";
    }
    return why;
}

QString installCheckText(const install::InstallStatus& status, const install::GameFolder& game) {
    if (!status.installed) return "No Veldrin install in " + QString::fromStdString(game.root.string()) + ": it holds no install record.";
    return QString::fromStdString(installText::checkText(status, game)).trimmed();
}

QString uninstallText(const install::UninstallResult& result, const QString& gameDir) {
    QString text = "Uninstalled from " + gameDir + ": " + QString::number(result.removed.size()) + " file(s) removed";
    text += result.blockRemoved ? ", and the install's lines taken out of the data file." : ".";
    if (!result.kept.empty())
        text += "\nKept, as they changed since the install (remove them yourself if you do not need them):" + listed(result.kept);
    if (!result.keptBackups.empty())
        text += "\nKept the data file's backup from before the first install, as the data file was edited since:" +
                listed(result.keptBackups);
    return text;
}

QString uninstallQuestion(const QString& gameDir) {
    return "Uninstall from " + gameDir + "? The install's files and its lines in the data file are removed; a file "
           "changed since the install is kept.";
}

QString replaceQuestion(const EarlierInstall& earlier, const QString& gameDir) {
    QStringList holds;
    if (!earlier.levels.empty()) {
        QStringList names;
        for (const std::string& level : earlier.levels) names << QString::fromStdString(level);
        holds << (earlier.levels.size() == 1 ? "the level " : "the levels ") + names.join(", ");
    }
    if (earlier.collisionMap) holds << "the collision map";
    QString text = "Replace the earlier install in " + gameDir + "? It holds ";
    if (!holds.isEmpty()) text += holds.join(" and ") + ": ";
    text += QString::number(earlier.files) + " file(s) written by Veldrin";
    if (!earlier.version.empty()) text += " " + QString::fromStdString(earlier.version);
    return text + ". Yes removes it and installs the plan shown; No leaves the game as it is.";
}

} // namespace veldrin::gui
