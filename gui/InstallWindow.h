#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/install/InstallPlan.h"
#include "gui/FileChooser.h"
#include "gui/LinkedMessage.h"
#include "gui/ToolWindow.h"

class QCheckBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace veldrin::gui {

class ElidedLabel;

// How a window asks the user a yes-or-no question: true on yes. The tests replace it to answer.
using YesNoQuestion = std::function<bool(const QString&)>;

// "Install into game...": the levels picked in the main window, with its options, converted into a PC
// game's folder. Choosing the game folder plans the install on a worker and shows the plan with its
// limit table before anything is written; "Install" then writes it (a stop leaves the game as it was);
// the end message offers the game folder and "Uninstall". While the folder holds an install, "Check"
// shows whether its files are as written and "Uninstall" removes it.
class InstallWindow : public ToolWindow {
    Q_OBJECT
public:
    // Room for the plan of four levels with its limit table.
    static constexpr int kClientWidth = 620;
    static constexpr int kClientHeight = 380;

    explicit InstallWindow(QWidget* parent = nullptr);

    // The levels (LVZ files, or folders of a Stories game's files) and the options of the main window.
    void setSources(std::vector<std::filesystem::path> sources, const ConversionOptions& options);
    // Plans the install into `gameDir` (what "Game folder..." does with the folder chosen).
    void planFor(const QString& gameDir);
    // Writes the plan shown, once the user agrees to replace an earlier install.
    void install();
    // Shows in the plan's place whether the install in the game folder is as written (on a worker).
    void check();
    // Asks, then removes the install from the game folder and plans anew.
    void uninstallFromGame();

    // The plan shown, once planned; null before, when planning failed and once it is installed.
    const InstallPlan* plan() const { return plan_.get(); }
    QString planText() const;

    FolderChooser chooseFolder;
    LinkedMessageShower showLinkedMessage;
    UrlOpener openUrl;
    YesNoQuestion askYesNo;

    // The end message's buttons: the game folder goes to openUrl; uninstallUrl() uninstalls and plans anew.
    static QUrl uninstallUrl();
    bool followLink(const QUrl& url);

private:
    // What the worker runs: a plan, an install or a check.
    enum class Run { Plan, Install, Check };
    // A plan's outcome, written by the worker: the game recognised and whether it holds an install
    // record, even when planning fails after that.
    struct Planning {
        InstallPlan plan;
        bool gameFolder = false;
        bool installed = false;
    };
    struct Checking {
        QString text;
        bool intact = false;
    };

    void chooseGameFolder();
    void planned(const QString& failure);
    void installed(const QString& failure, const QStringList& warnings);
    void checked(const QString& failure);
    void setBusy(bool busy);
    void showStatus(const QString& text, bool failed = false);
    void setInstalled(bool installed);

    std::vector<std::filesystem::path> sources_;
    ConversionOptions options_;
    QString gameDir_;
    std::shared_ptr<InstallPlan> plan_;
    std::shared_ptr<Planning> planning_;  // written by the worker
    std::shared_ptr<Checking> checking_;  // written by the worker
    std::atomic<bool> stop_{false};
    Run running_ = Run::Plan;
    bool hasInstall_ = false; // the game folder holds an install record
    // What the last install or uninstall did, shown above the plan made after it until another folder is chosen.
    QString outcome_;
    bool outcomeFailed_ = false;

    ElidedLabel* gameLabel_ = nullptr;
    QPushButton* gameButton_ = nullptr;
    QPlainTextEdit* planView_ = nullptr;
    QCheckBox* overLimits_ = nullptr;
    ElidedLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* installButton_ = nullptr;
    QPushButton* checkButton_ = nullptr;
    QPushButton* uninstallButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
};

} // namespace veldrin::gui
