#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/install/InstallPlan.h"
#include "gui/FileChooser.h"
#include "gui/LinkedMessage.h"
#include "gui/ToolWindow.h"

class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace veldrin::gui {

class ElidedLabel;

// "Install into game...": the levels picked in the main window, with its options, converted into a PC
// game's folder. Choosing the game folder plans the install on a worker and shows the plan with its
// limit table before anything is written; "Install" then writes it (a stop leaves the game as it was);
// the end message offers the game folder and "Uninstall".
class InstallWindow : public ToolWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 560;
    static constexpr int kClientHeight = 380;

    explicit InstallWindow(QWidget* parent = nullptr);

    // The levels (LVZ files, or folders of a Stories game's files) and the options of the main window.
    void setSources(std::vector<std::filesystem::path> sources, const ConversionOptions& options);
    // Plans the install into `gameDir` (what "Game folder..." does with the folder chosen).
    void planFor(const QString& gameDir);
    // Writes the plan shown.
    void install();

    // The plan shown, once planned; null before or when planning failed.
    const InstallPlan* plan() const { return plan_.get(); }
    QString planText() const;

    FolderChooser chooseFolder;
    LinkedMessageShower showLinkedMessage;
    UrlOpener openUrl;

    // The end message's buttons: the game folder goes to openUrl; uninstallUrl() uninstalls and plans anew.
    static QUrl uninstallUrl();
    bool followLink(const QUrl& url);

private:
    void chooseGameFolder();
    void planned(const QString& failure);
    void installed(const QString& failure, const QStringList& warnings);
    void setBusy(bool busy);

    std::vector<std::filesystem::path> sources_;
    ConversionOptions options_;
    QString gameDir_;
    std::shared_ptr<InstallPlan> plan_;
    std::shared_ptr<InstallPlan> planning_; // written by the worker
    std::atomic<bool> stop_{false};
    bool installing_ = false;

    ElidedLabel* gameLabel_ = nullptr;
    QPushButton* gameButton_ = nullptr;
    QPlainTextEdit* planView_ = nullptr;
    ElidedLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* installButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
};

} // namespace veldrin::gui
