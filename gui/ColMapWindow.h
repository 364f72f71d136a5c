#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "collision/ColMapFiles.h"
#include "gui/OffsetEdits.h"
#include "gui/ToolWindow.h"

class QCheckBox;
class QGroupBox;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace veldrin::gui {

class ElidedLabel;

// "Collision map converter": the collision of a whole map, from GAME.DTZ and the game's IMG (and an
// optional blank DFF), into the colmap folder beside GAME.DTZ. Created hidden at start; keeps its files
// and settings for the life of the program. "Convert!" waits for GAME.DTZ and its IMG to be chosen. A run
// goes on a worker thread, and "Convert!" and the file buttons wait for it.
class ColMapWindow : public ToolWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 230;
    static constexpr int kClientHeight = 400;

    explicit ColMapWindow(QWidget* parent = nullptr);

    // The files and settings as "Convert!" hands them to the run.
    ColMapPaths paths() const;
    ColMapOptions options() const;
    // The main window hands over its global map offset texts, X, Y and Z, when it opens this window.
    void setMapOffsetTexts(const std::array<QString, 3>& texts);

private:
    // Construction, one group of controls each.
    QWidget* makeFileRows();
    QGroupBox* makeEditionGroup();
    QGroupBox* makeOutputVersionGroup();
    QGroupBox* makeSectionsGroup();
    QGroupBox* makeIdeIplGroup();
    QWidget* makeStatusRows();

    // Handlers.
    void browseDtz();
    void browseImg();
    void browseDff();
    void clearDff();
    void startConversion();
    void conversionFinished(const QString& failure, const QStringList& warnings);
    // The buttons as a run, or the files chosen so far, leave them.
    void setRunning(bool running);

    QString dtzPath_;
    QString outputFolder_; // the folder of GAME.DTZ; the files go into its colmap folder
    QString imgPath_;
    QString dffPath_;      // empty: no blank DFF

    ElidedLabel* dtzLabel_ = nullptr;
    ElidedLabel* imgLabel_ = nullptr;
    ElidedLabel* dffLabel_ = nullptr;
    std::vector<QPushButton*> fileButtons_;   // the three "Browse..." and "C"
    QRadioButton* lcs_ = nullptr;
    QRadioButton* vcs_ = nullptr;
    std::vector<QRadioButton*> targetGames_;  // in TargetGame order
    QCheckBox* buildings_ = nullptr;
    QCheckBox* dynamicObjects_ = nullptr;
    QCheckBox* treadables_ = nullptr;
    OffsetEdits offsets_;
    ElidedLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* processButton_ = nullptr;
};

} // namespace veldrin::gui
