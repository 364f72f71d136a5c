// The main window's handlers: level pick, the editing rules of its controls, the dialogs, the side tools and the run.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QResizeEvent>
#include <QMimeData>
#include <QUrl>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "app/batch/BatchLevels.h"
#include "app/batch/BatchSummary.h"
#include "app/batch/BatchTable.h"
#include "app/options/MapOffset.h"
#include "base/ParallelFor.h"
#include "base/FileIO.h"
#include "gui/ConversionThread.h"
#include "gui/DetectedEdition.h"
#include "gui/ElidedLabel.h"
#include "gui/FormControls.h"
#include "gui/MainWindow.h"
#include "gui/MipMapDialog.h"
#include "gui/PathText.h"
#include "gui/PickDetection.h"
#include "gui/PrelightDialog.h"
#include "gui/RunEndMessage.h"
#include "gui/RunLog.h"
#include "gui/ZonDialog.h"
#include "texture/MipMapRule.h"
#include "tools/PlacementDumpFile.h"
#include "tools/VcPatchFile.h"

namespace veldrin::gui {

void MainWindow::browseLvz() {
    pickLevels(chooseFiles("Browse LVZ", "Level LVZ file (*.LVZ *.lvz)"));
}

void MainWindow::browseOutputFolder() {
    const QString folder = chooseFolder("Output folder", toQString(outputChoice_));
    if (!folder.isEmpty()) setOutputFolderChoice(toPath(folder)); // a cancelled dialog leaves the choice as it was
}

void MainWindow::setOutputFolderChoice(const std::filesystem::path& folder) {
    outputChoice_ = folder;
    outputLabel_->setElidedText(folder.empty() ? QString(kBesideTheLevel) : toQString(folder));
    outputReset_->setEnabled(!folder.empty());
}

void MainWindow::pickLevels(const QStringList& paths) {
    std::vector<std::filesystem::path> named;
    for (const QString& p : paths) named.push_back(toPath(p));
    std::error_code error;
    if (named.size() == 1 && !std::filesystem::is_directory(named.front(), error)) {
        pickLevel(paths.front());
        return;
    }
    if (named.empty()) return;
    try {
        std::vector<std::filesystem::path> levels = batchLevelFiles(named);
        if (levels.size() == 1) {
            pickLevel(toQString(levels.front()));
            return;
        }
        batch_ = std::move(levels);
        detection_->cancel(); // of a level picked before
        setStatus("Ready...");
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()), MessageKind::Error);
        return;
    }
    lvzLabel_->setElidedText(QString::number(batch_.size()) + " levels");
    imgLabel_->setElidedText("each beside its LVZ");
    processButton_->setEnabled(!isConverting());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!isConverting() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (isConverting() || paths.isEmpty()) return;
    event->acceptProposedAction();
    pickLevels(paths);
}

void MainWindow::pickLevel(const QString& lvzPath) {
    batch_.clear();
    ConversionOptions pick;
    applyLevelPick(pick, toPath(lvzPath));
    picked_.lvzPath = pick.lvzPath;
    picked_.imgPath = pick.imgPath;
    picked_.outputFolder = pick.outputFolder;
    lvzLabel_->setElidedText(toQString(pick.lvzPath));
    if (!std::filesystem::is_regular_file(pick.imgPath)) {
        // The names of the level picked before stay in force.
        detection_->cancel();
        showMessage(toQString(pick.imgPath) + " not found", MessageKind::Error);
        setStatus("Ready...");
        return;
    }
    imgLabel_->setElidedText(toQString(pick.imgPath));
    processButton_->setEnabled(!isConverting());
    picked_.levelName = pick.levelName;
    modelPrefix_->setText(QString::fromStdString(pick.modelPrefix));
    texturePrefix_->setText(QString::fromStdString(pick.texturePrefix));
    // The whole level is read for this: on a worker, so the window stays free and "Convert!" usable.
    editionChosen_ = false;
    ranSincePick_ = false;
    setStatus(kDetectingStatus);
    detection_->start(pick.lvzPath, pick.imgPath);
}

void MainWindow::editionDetected(const DetectedEdition& detected) {
    // The user may still choose another edition; the run refuses one that clearly does not fit. An
    // edition chosen while the level was read stays chosen.
    if (detected.edition && !editionChosen_) editions_[static_cast<std::size_t>(*detected.edition) - 1]->setChecked(true);
    if (!ranSincePick_) setStatus(detected.status); // a run started meanwhile has told its own
    if (!isConverting()) log_->addLine(toQString(picked_.lvzPath.filename()) + ": " + detected.status); // not amid a run's lines
    emit editionDetectionEnded();
}

void MainWindow::generateIdeToggled(bool on) {
    offsets_.idOffset->setEnabled(on);
    for (QLineEdit* edit : offsets_.mapOffset) edit->setEnabled(on);
}

void MainWindow::modelsPerTxdEdited() {
    if (!wholeNumberFrom(modelsPerTxd_->text(), 1)) modelsPerTxd_->setText("1");
}

void MainWindow::openDialog(QDialog* dialog, QPoint topLeft) {
    // Kept above this window by the window system, as a child window would be.
    if (QWindow* own = windowHandle()) {
        dialog->winId();
        dialog->windowHandle()->setTransientParent(own);
    }
    // Wholly on the screen that holds this window, whatever this window's place.
    QSize frameSize = dialog->frameGeometry().size();
    if (frameSize == dialog->size()) frameSize += frameGeometry().size() - size(); // not framed yet: taken as this window's frame
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    dialog->move(screen ? placeInside(topLeft, frameSize, screen->availableGeometry()) : topLeft);
    setEnabled(false);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MainWindow::openToolsMenu() { toolsMenu_->popup(QCursor::pos()); }

void MainWindow::patchVcExecutable() {
    const QString path = chooseFile("VC backface culling patcher", "gta-vc.exe (gta-vc.exe)");
    if (path.isEmpty()) return;
    try {
        const VcPatchOutcome outcome = patchVcExecutableFile(toPath(path));
        showMessage(QString::fromStdString(outcome.message), outcome.failed() ? MessageKind::Error : MessageKind::Information);
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()), MessageKind::Error);
    }
}

void MainWindow::writeDeveloperDump() {
    const QString path = chooseFile("Browse game data", "Uncompressed game data (*)");
    if (path.isEmpty()) return;
    PlacementDumpOptions options;
    options.idOffset = idOffsetOf(offsets_);
    options.levelName = picked_.levelName;
    try {
        // A developer's aid: the files go where the program was started.
        writePlacementDump(toPath(path), options, std::filesystem::current_path());
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()), MessageKind::Error);
    }
}

// The form's controls, each under the object name the option table keeps its setting by
// (optionEntry(id).settingsKeys): the radio buttons of a choice in the order of its values.
ConversionOptions MainWindow::gatherOptions() const {
    ConversionOptions o;
    o.edition = checkedChoice<GameVersion>(editions_, static_cast<int>(GameVersion::LcsPs2));
    o.targetGame = checkedChoice<TargetGame>(targetGames_, static_cast<int>(TargetGame::Gta3));
    o.txdMode = checkedChoice<TxdMode>(txdModes_, static_cast<int>(TxdMode::NoTxd));
    o.modelsPerTxd = wholeNumberFrom(modelsPerTxd_->text(), 1).value_or(1);
    o.generateIde = generateIde_->isChecked();
    o.idOffset = idOffsetOf(offsets_);
    o.mapOffset = parseMapOffset(mapOffsetTextsOf(offsets_), MapOffsetMessages::Conversion);
    o.modelPrefix = modelPrefix_->text().toStdString();
    o.texturePrefix = texturePrefix_->text().toStdString();
    o.levelName = picked_.levelName;
    o.lvzPath = picked_.lvzPath;
    o.imgPath = picked_.imgPath;
    o.outputFolder = outputChoice_.empty() ? picked_.outputFolder : outputChoice_;
    o.genBlankCol = genBlankCol_->isChecked();
    o.genMipMaps = genMipMaps_->isChecked();
    o.mipSizeThreshold = kMipMapThresholds.at(static_cast<std::size_t>(mipMapDialog_->threshold()));
    o.dxtQuality = mipMapDialog_->dxtQuality();
    o.genNightPrelit = genNightPrelit_->isChecked();
    o.prelightDayMinimum = prelightDialog_->dayMinimum();
    o.prelightNightMinimum = prelightDialog_->nightMinimum();
    o.optimiseMesh = optimiseMesh_->isChecked();
    o.buildImg = buildImg_->isChecked();
    o.useZon = zonDialog_->useZon();
    if (zonDialog_->island() >= 0) o.zonIsland = zonDialog_->island(); // none: a file without zones, refused by the run
    o.forceMegaLods = zonDialog_->forceMegaLods();
    o.zonPath = toPath(zonDialog_->zonPath());
    o.jobs = machineThreads();
    o.writeReport = writeReport_->isChecked(); // as on the command line: the report costs many times the run
    return o;
}

void MainWindow::startConversion() {
    if (isConverting()) return;
    ranSincePick_ = true;
    try {
        lastOptions_ = gatherOptions(); // refuses a map offset that is not a number before anything is read
        // Said in the window's words, about its own controls; the run checks the file itself.
        if (lastOptions_.useZon && lastOptions_.zonPath.empty()) throw std::runtime_error(kNoZonFileMessage);
    } catch (const std::exception& e) {
        log_->startRun(runTitle());
        log_->addLine(kLogFailedPrefix + QString::fromStdString(e.what()));
        showMessage(QString::fromStdString(e.what()), MessageKind::Error);
        setStatus(kFailedStatus);
        emit conversionEnded(); // a refused run ends like any other
        return;
    }
    // Started before the level's edition is known: the run detects it, unless the user chose one.
    if (batch_.empty() && detection_->isPending() && !editionChosen_) lastOptions_.editionAuto = true;
    lastSummary_ = RunSummary{};
    lastWarnings_.clear();
    lastBatch_.clear();
    processButton_->setEnabled(false);
    browseButton_->setEnabled(false);
    progress_->setRange(0, 1);
    progress_->setValue(0);

    if (batch_.empty()) {
        thread_ = new ConversionThread(lastOptions_, this);
    } else {
        const auto folder = outputChoice_.empty() ? std::nullopt : std::optional<std::filesystem::path>(outputChoice_);
        thread_ = new ConversionThread(lastOptions_, batch_, folder, this);
    }
    log_->startRun(runTitle());
    connect(thread_, &ConversionThread::statusChanged, this, &MainWindow::setStatus);
    connect(thread_, &ConversionThread::statusChanged, log_, &RunLog::addStep);
    connect(thread_, &ConversionThread::warningRaised, log_, &RunLog::addWarning);
    connect(thread_, &ConversionThread::progressChanged, this, [this](int position, int maximum) {
        progress_->setRange(0, std::max(1, maximum));
        progress_->setValue(std::clamp(position, 0, std::max(1, maximum)));
    });
    connect(thread_, &ConversionThread::warningRaised, this, [this](const QString& text) { lastWarnings_ << text; });
    connect(thread_, &QThread::finished, this, &MainWindow::conversionFinished);
    emit conversionStarting(thread_);
    thread_->start();
}

void MainWindow::conversionFinished() { endConversion(false); }

void MainWindow::endConversion(bool quiet) {
    if (!thread_) return;
    thread_->wait();
    lastSummary_ = thread_->summary();
    const QString failure = thread_->failure();
    const bool batch = thread_->isBatch();
    lastBatch_ = thread_->batchResults();
    const std::filesystem::path batchSummary = thread_->batchSummaryFolder();
    delete thread_;
    thread_ = nullptr;
    processButton_->setEnabled(true);
    browseButton_->setEnabled(true);
    logRunResult(failure, batch, quiet);
    if (!quiet) {
        if (!failure.isEmpty()) {
            setStatus(kFailedStatus);
            showMessage(failure, MessageKind::Error);
        } else if (batch) {
            showLinkedMessage(batchEndText(lastBatch_, lastWarnings_), MessageKind::Information,
                              batchEndLinks(batchFolder(lastBatch_), batchSummary));
        } else {
            showLinkedMessage(runEndText(lastOptions_, lastSummary_, lastWarnings_),
                              lastWarnings_.isEmpty() ? MessageKind::Information : MessageKind::Warning,
                              runEndLinks(lastOptions_, lastSummary_));
        }
    }
    emit conversionEnded();
}

void MainWindow::setStatus(const QString& text) { status_->setElidedText(text); }

QString MainWindow::runTitle() const {
    if (!batch_.empty()) return "Converting " + QString::number(batch_.size()) + " levels";
    return "Converting " + toQString(picked_.lvzPath.filename());
}

// What the final message says, in one line for each level; the warnings are in the log already.
void MainWindow::logRunResult(const QString& failure, bool batch, bool stopped) {
    if (!failure.isEmpty()) {
        log_->addLine(kLogFailedPrefix + failure);
    } else if (batch) {
        for (const BatchLevelResult& r : lastBatch_) log_->addLine(QString::fromStdString(levelResultLine(r)));
    } else if (stopped || lastSummary_.stopped) {
        log_->addLine(kLogStopped);
    } else {
        QString line = QString::fromStdString(convertedLine(lastSummary_, lastOptions_));
        if (!lastWarnings_.isEmpty()) line += ", " + QString::number(lastWarnings_.size()) + " warning(s)";
        log_->addLine(line);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    developerButton_->move(width() + 16, 8);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    detection_->cancel(); // a late result has no window to show in
    if (thread_) {
        // The run ends before its next model; every file it wrote is whole.
        disconnect(thread_, nullptr, this, nullptr);
        thread_->requestStop();
        endConversion(true);
    }
    for (QDialog* dialog : dialogs()) dialog->hide();
    event->accept();
}

} // namespace veldrin::gui
