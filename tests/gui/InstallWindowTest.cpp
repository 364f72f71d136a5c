#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <functional>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "ToolWindowSupport.h"
#include "base/FileIO.h"
#include "gui/ElidedLabel.h"
#include "gui/InstallWindow.h"
#include "gui/InstallWindowText.h"
#include "gui/MainWindow.h"
#include "gui/PathText.h"
#include "support/GameFolderBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// The install window opened from the main window with the level picked, its messages and questions caught.
struct InstallWindowRig {
    MainWindow main;
    InstallWindow* window = nullptr;
    QStringList messages;
    MessageLinks links;
    QStringList questions;
    bool answer = true;

    explicit InstallWindowRig(const fs::path& lvz) : InstallWindowRig(QStringList{toQString(lvz)}) {}
    explicit InstallWindowRig(const QStringList& levels) {
        if (levels.size() == 1) main.pickLevel(levels.front());
        else main.pickLevels(levels);
        toolMenuItem(main, kInstallIntoGameCaption)->trigger();
        window = main.openInstallWindow();
        window->showMessage = [this](const QString& text, MessageKind) { messages << text; };
        window->showLinkedMessage = [this](const QString& text, MessageKind, const MessageLinks& l) {
            messages << text;
            links = l;
        };
        window->askYesNo = [this](const QString& text) {
            questions << text;
            return answer;
        };
    }

    // Does `act` and waits until the window's runs have ended `runs` times.
    bool after(const std::function<void()>& act, int runs = 1) {
        QSignalSpy ended(window, &InstallWindow::conversionEnded);
        act();
        while (ended.count() < runs)
            if (!ended.wait(kRunTimeoutMs)) return false;
        return true;
    }
    bool planFor(const fs::path& game) {
        return after([&] { window->planFor(toQString(game)); });
    }
    bool click(const char* button, int runs = 1) {
        return after([&] { child<QPushButton>(*window, button)->click(); }, runs);
    }
    bool enabled(const char* button) const { return child<QPushButton>(*window, button)->isEnabled(); }
    QString status() const { return child<ElidedLabel>(*window, "StatusText")->fullText(); }
    bool statusIsRed() const { return child<ElidedLabel>(*window, "StatusText")->styleSheet().contains("color"); }
    QString text() const { return window->planText(); }
};

// The game's data file names one more IDE, with a model of id `highestId` (a game with a limit adjuster
// may have one past the limit).
void addModelWithId(const BuiltGameFolder& game, int highestId) {
    writeWholeFile(game.root / "data" / "full.ide", "objs\r\n" + std::to_string(highestId) + ", fullthing, fulltxd, 1, 100, 0\r\nend\r\n");
    const std::vector<uint8_t> data = readWholeFile(game.gameDataFile);
    writeWholeFile(game.gameDataFile, std::string(data.begin(), data.end()) + "\r\nIDE DATA\\FULL.IDE\r\n");
}

} // namespace

class InstallWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The level picked goes into the game chosen: the plan with its limit table is shown before anything
    // is written, "Install" writes it, "Check" finds its files as written (or not, once one is changed),
    // and "Uninstall" asks, then leaves the game as it was.
    void aWholeInstallCheckAndUninstallThroughTheWindow() {
        TempFolder dir("veldrin-gui");
        const fs::path lvz = buildLevel(sampleTown(GameVersion::VcsPs2)).write(dir.path(), "town");
        const BuiltGameFolder game = buildGameFolder(dir / "game", TargetGame::GtaVc);
        const auto before = folderSnapshot(game.root);
        InstallWindowRig rig(lvz);
        QVERIFY(!rig.enabled("InstallButton"));

        QVERIFY(rig.planFor(game.root));
        QVERIFY(rig.window->plan() != nullptr);
        QVERIFY2(rig.text().contains("vcs-ps2") && rig.text().contains("town / LODn") && rig.text().contains("model ids"),
                 qPrintable(rig.text()));
        QCOMPARE(folderSnapshot(game.root), before);
        QVERIFY(rig.enabled("InstallButton"));
        QVERIFY(!rig.enabled("CheckButton") && !rig.enabled("UninstallButton"));
        QCOMPARE(rig.status(), QString("Ready to install"));

        QVERIFY(rig.click("InstallButton"));
        QVERIFY2(rig.messages.size() == 1 && rig.messages.front().startsWith("Installed into "), qPrintable(rig.messages.join("\n")));
        const std::vector<uint8_t> data = readWholeFile(game.gameDataFile);
        QVERIFY(std::string(data.begin(), data.end()).find("veldrin\\town.ide") != std::string::npos);
        QCOMPARE(rig.status(), QString("Installed"));
        QVERIFY(rig.enabled("CheckButton") && rig.enabled("UninstallButton") && !rig.enabled("InstallButton"));

        QVERIFY(rig.click("CheckButton"));
        QVERIFY2(rig.text().contains(QRegularExpression("veldrin/town\\.ide +as written\n")) &&
                     rig.text().endsWith("Everything is as written."),
                 qPrintable(rig.text()));
        QVERIFY(!rig.statusIsRed());
        const fs::path ide = game.root / "veldrin" / "town.ide";
        const std::vector<uint8_t> written = readWholeFile(ide);
        writeWholeFile(ide, std::string("# changed\n"));
        QVERIFY(rig.click("CheckButton"));
        QVERIFY2(rig.text().contains(QRegularExpression("veldrin/town\\.ide +CHANGED since the install\n")) &&
                     rig.text().contains("not as written"),
                 qPrintable(rig.text()));
        QVERIFY(rig.statusIsRed());
        writeWholeFile(ide, written);

        // The end message's "Uninstall" is the button's: it asks first.
        QCOMPARE(rig.links.size(), 2);
        QCOMPARE(rig.links[1].url, InstallWindow::uninstallUrl());
        QVERIFY(rig.after([&] { rig.window->followLink(rig.links[1].url); })); // planned anew against the game as it is now
        QVERIFY2(rig.questions.size() == 1 && rig.questions.front().startsWith("Uninstall from "), qPrintable(rig.questions.join("\n")));
        QVERIFY2(rig.messages.back().startsWith("Uninstalled from "), qPrintable(rig.messages.back()));
        QVERIFY2(rig.text().startsWith("Uninstalled from "), qPrintable(rig.text()));
        QCOMPARE(folderSnapshot(game.root), before);
        QCOMPARE(rig.status(), QString("Ready to install"));
        QVERIFY(rig.enabled("InstallButton") && !rig.enabled("CheckButton") && !rig.enabled("UninstallButton"));
    }

    // The status line tells of the folder chosen last: a folder that is no game's is said to be one,
    // whatever the folder before held; a game holding an install offers Check and Uninstall. Replacing
    // an earlier install and uninstalling are asked first, and no leaves the game as it is.
    void theStatusAndTheButtonsFollowTheFolderChosen() {
        TempFolder dir("veldrin-gui");
        const fs::path lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
        const BuiltGameFolder game = buildGameFolder(dir / "game", TargetGame::GtaSa);
        fs::create_directories(dir / "not a game");
        InstallWindowRig rig(lvz);
        QVERIFY(rig.planFor(game.root));
        QVERIFY(rig.click("InstallButton"));
        QCOMPARE(rig.status(), QString("Installed"));
        const auto installed = folderSnapshot(game.root);

        QVERIFY(rig.planFor(dir / "not a game"));
        QCOMPARE(rig.status(), QString("Not a game folder"));
        QVERIFY(rig.statusIsRed());
        QVERIFY2(rig.text().startsWith("Cannot install into " + toQString(dir / "not a game") + ":\n"), qPrintable(rig.text()));
        QVERIFY(!rig.enabled("InstallButton") && !rig.enabled("CheckButton") && !rig.enabled("UninstallButton"));

        QVERIFY(rig.planFor(game.root));
        QCOMPARE(rig.status(), QString("Ready: Install replaces the install there"));
        QVERIFY(!rig.statusIsRed());
        QVERIFY(rig.enabled("CheckButton") && rig.enabled("UninstallButton"));
        // Set here for as long as planInstall does not tell of the install it replaces.
        if (!rig.window->plan()->earlier)
            const_cast<InstallPlan*>(rig.window->plan())->earlier = EarlierInstall{"1.2", {"town"}, false, 5};
        rig.answer = false;
        child<QPushButton>(*rig.window, "InstallButton")->click();
        child<QPushButton>(*rig.window, "UninstallButton")->click();
        QCOMPARE(rig.questions.size(), 2);
        QVERIFY2(rig.questions[0].startsWith("Replace the earlier install in " + toQString(game.root) + "? It holds the level town"),
                 qPrintable(rig.questions[0]));
        QVERIFY(!rig.window->isConverting());
        QCOMPARE(folderSnapshot(game.root), installed);
        rig.answer = true;
        QVERIFY(rig.click("UninstallButton"));
        QCOMPARE(rig.status(), QString("Ready to install"));
        QVERIFY(!rig.enabled("CheckButton") && !rig.enabled("UninstallButton"));
    }

    // An install that fails says why in the window, its bar not full, and plans anew, the new plan
    // refusing what made it fail; planned again once the cause is gone, it succeeds.
    void aFailedInstallIsShownAndCanBeTriedAgain() {
        TempFolder dir("veldrin-gui");
        const fs::path lvz = buildLevel(sampleTown(GameVersion::LcsPsp)).write(dir.path(), "town");
        const BuiltGameFolder game = buildGameFolder(dir / "game", TargetGame::GtaVc);
        InstallWindowRig rig(lvz);
        QVERIFY(rig.planFor(game.root));
        const auto before = folderSnapshot(game.root);
        const fs::perms writable = fs::status(game.gameDataFile).permissions();
        fs::permissions(game.gameDataFile, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

        QVERIFY(rig.click("InstallButton", 2)); // the install, then the plan made anew
        QCOMPARE(folderSnapshot(game.root), before);
        const QString dataFile = toQString(game.gameDataFile.filename());
        QVERIFY2(rig.text().contains(dataFile) &&
                     rig.text().contains("was left as it was") && rig.text().contains("model ids"),
                 qPrintable(rig.text()));
        QVERIFY2(rig.status().startsWith("Not installed") && rig.statusIsRed(), qPrintable(rig.status()));
        const auto* bar = child<QProgressBar>(*rig.window, "ProgressBar1");
        QVERIFY(bar->value() < bar->maximum());
        QVERIFY(!rig.enabled("InstallButton")); // the plan made anew refuses the read-only data file

        fs::permissions(game.gameDataFile, writable);
        QVERIFY(rig.planFor(game.root));
        QVERIFY(rig.enabled("InstallButton"));
        QVERIFY(rig.click("InstallButton"));
        QCOMPARE(rig.status(), QString("Installed"));
        QVERIFY(bar->value() == bar->maximum());
    }

    // A plan over the game's limits is refused with the window's advice (its check box, not the command
    // line's flag); ticking the box plans anew and lets it go ahead.
    void theOverLimitsBoxPlansAnew() {
        TempFolder dir("veldrin-gui");
        const fs::path lvz = buildLevel(sampleTown(GameVersion::VcsPsp)).write(dir.path(), "town");
        const BuiltGameFolder game = buildGameFolder(dir / "game", TargetGame::GtaVc);
        addModelWithId(game, 6500); // the limit: ids below 6500
        InstallWindowRig rig(lvz);
        QVERIFY(rig.planFor(game.root));
        QVERIFY2(rig.text().contains("OVER by") && rig.text().contains("Not installable: over the game's limit") &&
                     rig.text().contains(QString("tick \"") + kOverLimitsLabel + "\"") && !rig.text().contains("--allow-over-limits"),
                 qPrintable(rig.text()));
        QVERIFY(!rig.enabled("InstallButton") && rig.statusIsRed());

        QVERIFY(rig.after([&] { child<QCheckBox>(*rig.window, "OverLimits")->setChecked(true); }));
        QVERIFY(rig.window->plan() && rig.window->plan()->request.allowOverLimits);
        QVERIFY2(rig.text().contains("OVER by") && !rig.text().contains("Not installable"), qPrintable(rig.text()));
        QVERIFY(rig.enabled("InstallButton"));
        QCOMPARE(rig.status(), QString("Ready to install"));
    }

    // At its first size the window shows the plan of four levels whole, limit table included, for each
    // game's set of limits.
    void theFirstSizeShowsTheWholePlanOfFourLevels() {
        TempFolder dir("veldrin-gui");
        QStringList levels;
        for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp})
            levels << toQString(buildLevel(sampleTown(edition)).write(dir.path(), "town-" + std::string(editionName(edition))));
        InstallWindowRig rig(levels);
        QCOMPARE(rig.window->size(), QSize(InstallWindow::kClientWidth, InstallWindow::kClientHeight));
        auto* view = child<QPlainTextEdit>(*rig.window, "PlanText");
        for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa}) {
            const BuiltGameFolder game = buildGameFolder(dir / std::string(targetGameName(target)), target);
            QVERIFY(rig.planFor(game.root));
            QVERIFY2(rig.text().count("\ntown-") == 4, qPrintable(rig.text()));
            QApplication::processEvents();
            QCOMPARE(view->verticalScrollBar()->maximum(), 0);
            // Each line of the tables on one line of the view (the first names the game's folder, as long as it is).
            for (QTextBlock line = view->document()->begin().next(); line.isValid(); line = line.next())
                QVERIFY2(line.lineCount() == 1, qPrintable(line.text()));
        }
    }
};

VELDRIN_GUI_TEST(InstallWindowTest)
#include "InstallWindowTest.moc"
