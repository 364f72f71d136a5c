#pragma once
#include <QStringList>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/batch/BatchRun.h"
#include "app/options/ConversionOptions.h"
#include "app/run/LevelRun.h"
#include "gui/ApplicationLook.h"
#include "gui/FileChooser.h"
#include "gui/LinkedMessage.h"
#include "gui/OffsetEdits.h"
#include "gui/ToolsMenu.h"

class QAbstractButton;
class QCheckBox;
class QDialog;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace veldrin::gui {

class ConversionThread;
class ElidedLabel;
class MipMapDialog;
class PrelightDialog;
class Col2Window;
class ColMapWindow;
class InstallWindow;
class ZonDialog;
class PickDetection;
class RunLog;
struct DetectedEdition;

// The main window: picks a level, gathers the run's options from its controls and its option dialogs,
// and runs the conversion on a worker thread, keeping what each run said in a log pane beside the
// controls. It holds no conversion logic of its own.
inline const char* const kFailedStatus = "Failed";
inline const char* const kBesideTheLevel = "beside the level";
inline const char* const kDetectingStatus = "Detecting the edition...";
inline const char* const kDropHint = "Drop LVZ files or a folder on this window";
inline const char* const kNoZonFileMessage =
    "\"Use ZON\" is ticked but no MAP.ZON is loaded: browse one in the ZON parameters, or untick \"Use ZON\".";

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The controls' column, never narrower; the window starts this high and may grow.
    static constexpr int kClientWidth = 230;
    // The original 579 and one path row (14) with its spacing, for the output folder.
    static constexpr int kClientHeight = 594;
    // The log pane's width at start.
    static constexpr int kLogWidth = 320;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Pick level for a chosen LVZ: pairs it with the .IMG of the same name; when that exists, shows
    // both paths, derives the level name and the prefixes, enables "Convert!" and starts detecting
    // the level's edition on a worker. "Convert!" pressed meanwhile lets the run detect it.
    void pickLevel(const QString& lvzPath);
    // Several levels at once (files, or folders standing for their levels): "Convert!" converts them in
    // turn with the window's options and planned IDE ids. One level is a pick as above.
    void pickLevels(const QStringList& paths);
    const std::vector<std::filesystem::path>& pickedBatch() const { return batch_; }
    // The run's options from the controls and the dialogs, as "Convert!" hands them to the run.
    ConversionOptions gatherOptions() const;
    // The folder that the levels' output folders go into; empty for beside each level's LVZ (the default).
    void setOutputFolderChoice(const std::filesystem::path& folder);
    const std::filesystem::path& outputFolderChoice() const { return outputChoice_; }

    bool isConverting() const { return thread_ != nullptr; }
    // What the run started last was given, and how it ended (defaults before the first run).
    const ConversionOptions& lastRunOptions() const { return lastOptions_; }
    const RunSummary& lastRunSummary() const { return lastSummary_; }
    const QStringList& lastRunWarnings() const { return lastWarnings_; }
    const std::vector<BatchLevelResult>& lastBatchResults() const { return lastBatch_; }

    MipMapDialog* mipMapDialog() const { return mipMapDialog_.get(); }
    PrelightDialog* prelightDialog() const { return prelightDialog_.get(); }
    Col2Window* col2Window() const { return col2Window_.get(); }
    ColMapWindow* colMapWindow() const { return colMapWindow_.get(); }
    // "Install into game...": made when first opened, handed the levels picked and the options each time.
    InstallWindow* openInstallWindow();
    ZonDialog* zonDialog() const { return zonDialog_.get(); }
    PickDetection* pickDetection() const { return detection_; }
    RunLog* runLog() const { return log_; }

    // How messages reach the user and how the side tools choose their files; the tests replace them.
    std::function<void(const QString&, MessageKind)> showMessage;
    FileChooser chooseFile;
    FilesChooser chooseFiles; // "Browse LVZ"
    FolderChooser chooseFolder; // the output folder
    // The final message of a run, whose buttons open its report and its folder through `openUrl`.
    LinkedMessageShower showLinkedMessage;
    UrlOpener openUrl;

signals:
    // The worker is made and about to start: a last chance to connect to its signals.
    void conversionStarting(veldrin::gui::ConversionThread* thread);
    void conversionEnded();
    // The latest pick's edition detection has ended and its result is shown.
    void editionDetectionEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Construction, one group of controls each.
    QWidget* makeControls();
    QWidget* makeLevelRows();
    QHBoxLayout* makeOutputRow(QWidget* rows);
    QGroupBox* makeEditionGroup();
    QGroupBox* makeOutputVersionGroup();
    QGroupBox* makeTxdGroup();
    QGroupBox* makeIdeIplGroup();
    QGroupBox* makeAdvancedGroup();
    QWidget* makeStatusRows();
    QWidget* makeCommandRow();
    void makeDialogs();
    std::array<QDialog*, 5> dialogs() const;
    std::vector<ToolMenuItem> toolMenuItems();

    // Handlers.
    void browseLvz();
    void editionDetected(const DetectedEdition& detected);
    void browseOutputFolder();
    void generateIdeToggled(bool on);
    void modelsPerTxdEdited();
    void openDialog(QDialog* dialog, QPoint topLeft);
    void openToolsMenu();
    void patchVcExecutable();
    void writeDeveloperDump();
    void startConversion();
    void conversionFinished();
    void endConversion(bool quiet);
    void setStatus(const QString& text);
    QString runTitle() const;
    void logRunResult(const QString& failure, bool batch, bool stopped);

    // Level pick: paths, level name and output folder; the prefixes live in their edits.
    ConversionOptions picked_;

    QPushButton* browseButton_ = nullptr;
    ElidedLabel* lvzLabel_ = nullptr;
    ElidedLabel* imgLabel_ = nullptr;
    ElidedLabel* outputLabel_ = nullptr;
    QPushButton* outputReset_ = nullptr;
    std::filesystem::path outputChoice_;
    std::vector<QRadioButton*> editions_;   // in GameVersion order
    std::vector<QRadioButton*> targetGames_;    // in TargetGame order
    std::vector<QRadioButton*> txdModes_;       // in TxdMode order
    QLineEdit* modelsPerTxd_ = nullptr;
    QCheckBox* generateIde_ = nullptr;
    OffsetEdits offsets_;
    QLineEdit* modelPrefix_ = nullptr;
    QLineEdit* texturePrefix_ = nullptr;
    QCheckBox* genBlankCol_ = nullptr;
    QCheckBox* genMipMaps_ = nullptr;
    QCheckBox* genNightPrelit_ = nullptr;
    QCheckBox* optimiseMesh_ = nullptr;
    QCheckBox* buildImg_ = nullptr;
    QCheckBox* writeReport_ = nullptr;
    ElidedLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QToolButton* toolsButton_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QPushButton* processButton_ = nullptr;
    QPushButton* developerButton_ = nullptr;
    RunLog* log_ = nullptr;
    PickDetection* detection_ = nullptr;
    // An edition button clicked since the last pick: the detection's result no longer moves the choice.
    bool editionChosen_ = false;
    // "Convert!" pressed since the last pick: the detection's result no longer takes the status line.
    bool ranSincePick_ = false;

    // Windows of their own rather than children: disabling this window would disable its children.
    std::unique_ptr<MipMapDialog> mipMapDialog_;
    std::unique_ptr<PrelightDialog> prelightDialog_;
    std::unique_ptr<Col2Window> col2Window_;
    std::unique_ptr<ColMapWindow> colMapWindow_;
    std::unique_ptr<InstallWindow> installWindow_;
    std::unique_ptr<ZonDialog> zonDialog_;

    ConversionThread* thread_ = nullptr;
    std::vector<std::filesystem::path> batch_; // several levels picked; empty for one
    std::vector<BatchLevelResult> lastBatch_;
    ConversionOptions lastOptions_;
    RunSummary lastSummary_;
    QStringList lastWarnings_;
};

} // namespace veldrin::gui
