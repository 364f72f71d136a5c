#include "gui/ColMapWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/options/MapOffset.h"

#include "gui/ApplicationLook.h"
#include "gui/ElidedLabel.h"
#include "gui/FormControls.h"
#include "gui/PathText.h"
#include "gui/StatusRows.h"
#include "gui/ToolRunner.h"
#include "gui/WarningsMessage.h"

namespace veldrin::gui {

namespace {

constexpr int kBrowseWidth = 56;

QString fileNameOf(const QString& path) { return toQString(toPath(path).filename()); }

} // namespace

ColMapWindow::ColMapWindow(QWidget* parent) : ToolWindow("Collision map converter", parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(2);
    column->addWidget(makeFileRows());
    column->addWidget(makeEditionGroup());
    column->addWidget(makeOutputVersionGroup());
    column->addWidget(makeSectionsGroup());
    column->addWidget(makeIdeIplGroup());
    column->addStretch();
    column->addWidget(makeStatusRows());
    processButton_ = convertButton(this);
    processButton_->setDefault(true);
    processButton_->setEnabled(false); // until GAME.DTZ and its IMG are chosen
    connect(processButton_, &QPushButton::clicked, this, &ColMapWindow::startConversion);
    column->addWidget(processButton_);

    // The designed client size, unless this desktop's fonts need more room than it gives.
    const QSize needed = column->minimumSize();
    setFixedSize(std::max({kClientWidth, needed.width(), titleBarWidth(windowTitle())}), std::max(kClientHeight, needed.height()));

    connect(runner_, &ToolRunner::statusChanged, status_, &ElidedLabel::setElidedText);
    connect(runner_, &ToolRunner::progressChanged, this, [this](int position, int maximum) {
        progress_->setRange(0, std::max(1, maximum));
        progress_->setValue(std::clamp(position, 0, std::max(1, maximum)));
    });
    connect(runner_, &ToolRunner::ended, this, &ColMapWindow::conversionFinished);
}

QWidget* ColMapWindow::makeFileRows() {
    auto* rows = new QWidget(this);
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    auto fileRow = [&](int row, const char* labelName, const char* prefix, const char* buttonName, auto handler) {
        auto* label = new ElidedLabel(prefix, "none", rows);
        label->setObjectName(labelName);
        auto* browse = smallButton(buttonName, "Browse...", kBrowseWidth);
        connect(browse, &QPushButton::clicked, this, handler);
        fileButtons_.push_back(browse);
        grid->addWidget(label, row, 0);
        grid->addWidget(browse, row, 1);
        return label;
    };
    dtzLabel_ = fileRow(0, "DtzLabel", "DTZ: ", "BrowseDtz", &ColMapWindow::browseDtz);
    imgLabel_ = fileRow(1, "ImgLabel", "IMG: ", "BrowseImg", &ColMapWindow::browseImg);
    dffLabel_ = fileRow(2, "DffLabel", "DFF: ", "BrowseDff", &ColMapWindow::browseDff);
    QPushButton* clear = smallButton("ClearDff", "C", 20);
    clear->setToolTip("Clear the blank DFF: convert without one, so no COLMAP.IMG is built");
    connect(clear, &QPushButton::clicked, this, &ColMapWindow::clearDff);
    fileButtons_.push_back(clear);
    grid->addWidget(clear, 2, 2);
    grid->setColumnStretch(0, 1);
    return rows;
}

QGroupBox* ColMapWindow::makeEditionGroup() {
    QGroupBox* group = boldGroup("Game version:", this);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(4, 0, 4, 2);
    lcs_ = regular<QRadioButton>("GtaLcs", "GTA LCS", group);
    vcs_ = regular<QRadioButton>("GtaVcs", "GTA VCS", group);
    lcs_->setChecked(true);
    // The treadables pool exists in the LCS data only.
    connect(lcs_, &QRadioButton::toggled, this, [this](bool on) { treadables_->setEnabled(on); });
    row->addWidget(lcs_);
    row->addWidget(vcs_);
    row->addStretch();
    return group;
}

QGroupBox* ColMapWindow::makeOutputVersionGroup() {
    return targetGameGroup("Output version:", {"Gta3", "GtaVc", "GtaSa"}, targetGames_, this);
}

QGroupBox* ColMapWindow::makeSectionsGroup() {
    QGroupBox* group = boldGroup("Collision map IPL sections:", this);
    QVBoxLayout* column = groupColumn(group);
    buildings_ = regular<QCheckBox>("Buildings", "Buildings", group);
    dynamicObjects_ = regular<QCheckBox>("DynamicObjs", "Dynamic objs", group);
    treadables_ = regular<QCheckBox>("Treadables", "Treadables", group);
    for (QCheckBox* box : {buildings_, dynamicObjects_, treadables_}) {
        box->setChecked(true);
        column->addWidget(box);
    }
    return group;
}

QGroupBox* ColMapWindow::makeIdeIplGroup() {
    QGroupBox* group = boldGroup("IDE/IPL options:", this);
    offsets_ = addOffsetRows(group, groupColumn(group));
    return group;
}

QWidget* ColMapWindow::makeStatusRows() {
    const StatusRows rows = gui::makeStatusRows(this, 2);
    status_ = rows.status;
    progress_ = rows.progress;
    return rows.widget;
}

ColMapPaths ColMapWindow::paths() const {
    ColMapPaths p;
    p.dtz = toPath(dtzPath_);
    p.img = toPath(imgPath_);
    p.blankDff = toPath(dffPath_);
    p.outputBase = toPath(outputFolder_);
    return p;
}

ColMapOptions ColMapWindow::options() const {
    ColMapOptions o;
    o.edition = vcs_->isChecked() ? StoriesEdition::VCS : StoriesEdition::LCS;
    o.target = checkedChoice<TargetGame>(targetGames_, static_cast<int>(TargetGame::Gta3));
    o.buildings = buildings_->isChecked();
    o.dynamicObjects = dynamicObjects_->isChecked();
    o.treadables = treadables_->isChecked();
    o.idOffset = idOffsetOf(offsets_);
    o.mapOffset = parseExactMapOffset(mapOffsetTextsOf(offsets_), MapOffsetMessages::CollisionMap);
    return o;
}

void ColMapWindow::setMapOffsetTexts(const std::array<QString, 3>& texts) {
    for (std::size_t axis = 0; axis < 3; ++axis) offsets_.mapOffset[axis]->setText(texts[axis]);
}

void ColMapWindow::browseDtz() {
    const QString path = chooseFile("Browse GAME.DTZ", "GAME.DTZ (*.DTZ *.dtz)");
    if (path.isEmpty()) return;
    dtzPath_ = path;
    outputFolder_ = toQString(toPath(path).parent_path());
    dtzLabel_->setElidedText(fileNameOf(path));
    setRunning(false);
}

void ColMapWindow::browseImg() {
    const QString path = chooseFile("Browse IMG", "IMG archive (*.IMG *.img)");
    if (path.isEmpty()) return;
    imgPath_ = path;
    imgLabel_->setElidedText(fileNameOf(path));
    setRunning(false);
}

void ColMapWindow::browseDff() {
    const QString path = chooseFile("Browse blank DFF", "Blank DFF file (*.dff *.DFF)");
    if (path.isEmpty()) return;
    dffPath_ = path;
    dffLabel_->setElidedText(fileNameOf(path));
}

void ColMapWindow::clearDff() {
    dffPath_.clear();
    dffLabel_->setElidedText("none");
}

void ColMapWindow::startConversion() {
    if (runner_->isRunning()) return;
    const ColMapPaths files = paths();
    ColMapOptions settings;
    try {
        settings = options(); // refuses an offset that is not a number before any file is read
    } catch (const std::exception& e) {
        conversionFinished(QString::fromStdString(e.what()), {}); // a refused run ends like any other
        return;
    }
    if (!runner_->start([files, settings](const ColCallbacks& callbacks) {
            runColMapConverter(files, settings, callbacks);
        })) {
        return; // runs never nest
    }
    setRunning(true);
    progress_->setRange(0, 1);
    progress_->setValue(0);
}

void ColMapWindow::conversionFinished(const QString& failure, const QStringList& warnings) {
    setRunning(false);
    if (!failure.isEmpty()) showMessage(failure, MessageKind::Error);
    else if (!warnings.isEmpty()) showMessage(warningsMessage(warnings), MessageKind::Warning);
    emit conversionEnded();
}

void ColMapWindow::setRunning(bool running) {
    // The blank DFF is optional; GAME.DTZ and its IMG are not.
    processButton_->setEnabled(!running && !dtzPath_.isEmpty() && !imgPath_.isEmpty());
    for (QPushButton* button : fileButtons_) button->setEnabled(!running);
}

} // namespace veldrin::gui
