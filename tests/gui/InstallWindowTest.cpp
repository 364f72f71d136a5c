#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "GuiTestRegistry.h"
#include "GuiTestSupport.h"
#include "ToolWindowSupport.h"
#include "base/FileIO.h"
#include "gui/InstallWindow.h"
#include "gui/MainWindow.h"
#include "gui/PathText.h"
#include "support/GameFolderBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::gui;
using namespace veldrin::test;
namespace fs = std::filesystem;

class InstallWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The level picked goes into the game chosen: the plan with its limit table is shown before anything
    // is written, "Install" writes it, and the end message's "Uninstall" leaves the game as it was.
    void aWholeInstallAndUninstallThroughTheWindow() {
        TempFolder dir("veldrin-gui");
        const fs::path lvz = buildLevel(sampleTown(GameVersion::VcsPs2)).write(dir.path(), "town");
        const BuiltGameFolder game = buildGameFolder(dir / "game", TargetGame::GtaVc);
        const auto before = folderSnapshot(game.root);
        MainWindow w;
        w.pickLevel(toQString(lvz));
        toolMenuItem(w, kInstallIntoGameCaption)->trigger();
        InstallWindow& i = *w.openInstallWindow();
        QStringList messages;
        MessageLinks links;
        i.showMessage = [&](const QString& text, MessageKind) { messages << text; };
        i.showLinkedMessage = [&](const QString& text, MessageKind, const MessageLinks& l) {
            messages << text;
            links = l;
        };
        auto* install = child<QPushButton>(i, "InstallButton");
        QVERIFY(!install->isEnabled());

        QSignalSpy ended(&i, &InstallWindow::conversionEnded);
        i.planFor(toQString(game.root));
        QVERIFY(ended.wait(kRunTimeoutMs));
        QVERIFY(i.plan() != nullptr);
        const QString plan = child<QPlainTextEdit>(i, "PlanText")->toPlainText();
        QVERIFY2(plan.contains("vcs-ps2") && plan.contains("town / LODn") && plan.contains("model ids"), qPrintable(plan));
        QCOMPARE(folderSnapshot(game.root), before);
        QVERIFY(install->isEnabled());

        install->click();
        QVERIFY(ended.wait(kRunTimeoutMs));
        QVERIFY2(messages.size() == 1 && messages.front().startsWith("Installed into "), qPrintable(messages.join("\n")));
        const std::vector<uint8_t> data = readWholeFile(game.gameDataFile);
        QVERIFY(std::string(data.begin(), data.end()).find("veldrin\\town.ide") != std::string::npos);
        QCOMPARE(links.size(), 2);
        QCOMPARE(links[1].url, InstallWindow::uninstallUrl());

        i.followLink(links[1].url);
        QVERIFY(ended.wait(kRunTimeoutMs)); // planned anew against the game as it is now
        QVERIFY2(messages.back().startsWith("Uninstalled from "), qPrintable(messages.back()));
        QCOMPARE(folderSnapshot(game.root), before);
        QVERIFY(install->isEnabled());
    }
};

VELDRIN_GUI_TEST(InstallWindowTest)
#include "InstallWindowTest.moc"
