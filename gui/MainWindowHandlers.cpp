// The main window's handlers: level pick, the editing rules of its controls, the dialogs, the side tools and the run.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <thread>

#include "app/BatchLevels.h"
#include "app/BatchTable.h"
#include "app/MapOffset.h"
#include "gui/ConversionThread.h"
#include "gui/ElidedLabel.h"
#include "gui/FormControls.h"
#include "gui/MainWindow.h"
#include "gui/MipMapDialog.h"
#include "gui/PathText.h"
#include "gui/PrelightDialog.h"
#include "gui/WarningsMessage.h"
#include "gui/ZonDialog.h"
#include "texture/MipMapRule.h"
#include "tools/PlacementDumpFile.h"
#include "tools/VcPatchFile.h"

namespace veldrin::gui {

namespace {

// The final message of a batch: one line per level, then the warnings as a single run tells them.
QString batchMessage(const std::vector<BatchLevelResult>& results, const QStringList& warnings) {
    QStringList lines;
    for (const BatchLevelResult& r : results) lines << QString::fromStdString(levelResultLine(r));
    QString text = lines.join('\n');
    if (!warnings.isEmpty()) text += "\n\n" + warningsMessage(warnings);
    return text;
}

} // namespace

void TForm1::browseLvz() {
    pickLevels(chooseFiles("Browse LVZ", "Level LVZ file (*.LVZ *.lvz)"));
}

void TForm1::pickLevels(const QStringList& paths) {
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
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()));
        return;
    }
    lvzLabel_->setElidedText(QString::number(batch_.size()) + " levels");
    imgLabel_->setElidedText("each beside its LVZ");
    processButton_->setEnabled(!isConverting());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!isConverting() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (isConverting() || paths.isEmpty()) return;
    event->acceptProposedAction();
    pickLevels(paths);
}

void TForm1::pickLevel(const QString& lvzPath) {
    batch_.clear();
    ConversionOptions pick;
    applyLevelPick(pick, toPath(lvzPath));
    picked_.lvzPath = pick.lvzPath;
    picked_.imgPath = pick.imgPath;
    picked_.outputFolder = pick.outputFolder;
    lvzLabel_->setElidedText(toQString(pick.lvzPath));
    if (!std::filesystem::is_regular_file(pick.imgPath)) {
        // The names of the level picked before stay in force.
        showMessage(toQString(pick.imgPath) + " not found");
        setStatus("Ready...");
        return;
    }
    imgLabel_->setElidedText(toQString(pick.imgPath));
    processButton_->setEnabled(!isConverting());
    picked_.levelName = pick.levelName;
    modelPrefix_->setText(QString::fromStdString(pick.modelPrefix));
    texturePrefix_->setText(QString::fromStdString(pick.texturePrefix));
}

void TForm1::generateIdeToggled(bool on) {
    offsets_.idOffset->setEnabled(on);
    for (QLineEdit* edit : offsets_.mapOffset) edit->setEnabled(on);
}

void TForm1::modelsPerTxdChanged(const QString& text) {
    if (!wholeNumberFrom(text, 1)) modelsPerTxd_->setText("1");
}

void TForm1::openDialog(QDialog* dialog, QPoint topLeft) {
    // Kept above this window by the window system, as a child window would be.
    if (QWindow* own = windowHandle()) {
        dialog->winId();
        dialog->windowHandle()->setTransientParent(own);
    }
    dialog->move(topLeft);
    setEnabled(false);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TForm1::openToolsMenu() { toolsMenu_->popup(QCursor::pos()); }

void TForm1::patchVcExecutable() {
    const QString path = chooseFile("VC backface culling patcher", "gta-vc.exe (gta-vc.exe)");
    if (path.isEmpty()) return;
    try {
        showMessage(QString::fromStdString(patchVcExecutableFile(toPath(path)).message));
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()));
    }
}

void TForm1::writeDeveloperDump() {
    const QString path = chooseFile("Browse game data", "Uncompressed game data (*)");
    if (path.isEmpty()) return;
    PlacementDumpOptions options;
    options.idOffset = idOffsetOf(offsets_);
    options.levelName = picked_.levelName;
    try {
        // A developer's aid: the files go where the program was started.
        writePlacementDump(toPath(path), options, std::filesystem::current_path());
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()));
    }
}

ConversionOptions TForm1::gatherOptions() const {
    ConversionOptions o;
    o.gameVersion = checkedChoice<GameVersion>(gameVersions_, static_cast<int>(GameVersion::LcsPs2));
    o.targetGame = checkedChoice<TargetGame>(targetGames_, static_cast<int>(TargetGame::Gta3));
    o.txdMode = checkedChoice<TxdMode>(txdModes_, static_cast<int>(TxdMode::NoTxd));
    o.modelsPerTxd = wholeNumberFrom(modelsPerTxd_->text(), 1).value_or(1);
    o.generateIde = generateIde_->isChecked();
    o.idOffset = idOffsetOf(offsets_);
    const auto offset = parseMapOffset(mapOffsetTextsOf(offsets_), MapOffsetMessages::Conversion);
    for (std::size_t axis = 0; axis < 3; ++axis) o.mapOffset[axis] = static_cast<float>(offset[axis]);
    o.modelPrefix = modelPrefix_->text().toStdString();
    o.texturePrefix = texturePrefix_->text().toStdString();
    o.levelName = picked_.levelName;
    o.lvzPath = picked_.lvzPath;
    o.imgPath = picked_.imgPath;
    o.outputFolder = picked_.outputFolder;
    o.genBlankCol = genBlankCol_->isChecked();
    o.genMipMaps = genMipMaps_->isChecked();
    o.mipSizeThreshold = mipSizeThresholdOfChoice(mipMapDialog_->threshold());
    o.genNightPrelit = genNightPrelit_->isChecked();
    o.prelightDayMinimum = prelightDialog_->dayMinimum();
    o.prelightNightMinimum = prelightDialog_->nightMinimum();
    o.optimiseMesh = optimiseMesh_->isChecked();
    o.buildImg = buildImg_->isChecked();
    o.useZon = zonDialog_->useZon();
    o.zonIsland = zonDialog_->island();
    o.forceMegaLods = zonDialog_->forceMegaLods();
    o.zonPath = toPath(zonDialog_->zonPath());
    o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return o;
}

void TForm1::startConversion() {
    if (isConverting()) return;
    // A run never filters by a zone file that is not there.
    if (zonDialog_->useZon() && !std::filesystem::is_regular_file(toPath(zonDialog_->zonPath()))) {
        zonDialog_->setUseZon(false);
    }
    try {
        lastOptions_ = gatherOptions(); // refuses a map offset that is not a number before anything is read
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()));
        emit conversionEnded(); // a refused run ends like any other
        return;
    }
    lastSummary_ = RunSummary{};
    lastWarnings_.clear();
    lastBatch_.clear();
    processButton_->setEnabled(false);
    browseButton_->setEnabled(false);
    progress_->setRange(0, 1);
    progress_->setValue(0);

    thread_ = batch_.empty() ? new ConversionThread(lastOptions_, this) : new ConversionThread(lastOptions_, batch_, this);
    connect(thread_, &ConversionThread::statusChanged, this, &TForm1::setStatus);
    connect(thread_, &ConversionThread::progressChanged, this, [this](int position, int maximum) {
        progress_->setRange(0, std::max(1, maximum));
        progress_->setValue(std::clamp(position, 0, std::max(1, maximum)));
    });
    connect(thread_, &ConversionThread::warningRaised, this, [this](const QString& text) { lastWarnings_ << text; });
    connect(thread_, &QThread::finished, this, &TForm1::conversionFinished);
    emit conversionStarting(thread_);
    thread_->start();
}

void TForm1::conversionFinished() { endConversion(false); }

void TForm1::endConversion(bool quiet) {
    if (!thread_) return;
    thread_->wait();
    lastSummary_ = thread_->summary();
    const QString failure = thread_->failure();
    const bool batch = thread_->isBatch();
    lastBatch_ = thread_->batchResults();
    delete thread_;
    thread_ = nullptr;
    processButton_->setEnabled(true);
    browseButton_->setEnabled(true);
    if (!quiet) {
        if (!failure.isEmpty()) showMessage(failure);
        else if (batch) showMessage(batchMessage(lastBatch_, lastWarnings_));
        else if (!lastWarnings_.isEmpty()) showMessage(warningsMessage(lastWarnings_));
    }
    emit conversionEnded();
}

void TForm1::setStatus(const QString& text) { status_->setElidedText(text); }

void TForm1::closeEvent(QCloseEvent* event) {
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
