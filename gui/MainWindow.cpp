#include "gui/MainWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/ApplicationLook.h"
#include "gui/Col2Window.h"
#include "gui/ColMapWindow.h"
#include "gui/InstallWindow.h"
#include "gui/ConversionThread.h"
#include "gui/ElidedLabel.h"
#include "gui/FormControls.h"
#include "gui/MipMapDialog.h"
#include "gui/PickDetection.h"
#include "gui/PrelightDialog.h"
#include "gui/RunLog.h"
#include "gui/StatusRows.h"
#include "gui/ZonDialog.h"

namespace veldrin::gui {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("Form1");
    setWindowTitle(kMainWindowCaption);
    showMessage = [this](const QString& text, MessageKind kind) { showMessageBox(this, text, kind); };
    chooseFile = openFileDialog(this);
    chooseFiles = openFilesDialog(this);
    chooseFolder = openFolderDialog(this);
    openUrl = desktopOpener();
    showLinkedMessage = [this](const QString& text, MessageKind kind, const MessageLinks& links) {
        showLinkedMessageBox(this, text, kind, links, openUrl);
    };
    setAcceptDrops(true);

    log_ = new RunLog(this);
    detection_ = new PickDetection(this);
    connect(detection_, &PickDetection::detected, this, &MainWindow::editionDetected);
    QWidget* controls = makeControls();
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("MainSplitter");
    splitter->addWidget(controls);
    splitter->addWidget(log_);
    splitter->setCollapsible(0, false); // the log may fold away, the controls never
    splitter->setStretchFactor(0, 0);   // a wider window widens the log
    splitter->setStretchFactor(1, 1);
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName("StatusBar1");
    statusBar->addWidget(new QLabel(kVersionText, statusBar));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(splitter, 1);
    outer->addWidget(statusBar);

    // The controls at their designed width, unless this desktop's fonts need more room than it gives; the
    // window at its designed height and no lower than its controls need.
    const int controlsWidth = std::max(kClientWidth, controls->minimumSizeHint().width());
    controls->setMinimumWidth(controlsWidth);
    splitter->setSizes({controlsWidth, kLogWidth});
    resize(controlsWidth + splitter->handleWidth() + kLogWidth, std::max(kClientHeight, outer->minimumSize().height()));

    // The developer's button lies beyond the right edge of the client area, where no user meets it
    // (resizeEvent keeps it there).
    developerButton_ = new QPushButton("Button1", this);
    developerButton_->setObjectName("Button1");
    developerButton_->setGeometry(width() + 16, 8, 75, 25);
    developerButton_->setFocusPolicy(Qt::NoFocus); // and Tab never reaches it
    connect(developerButton_, &QPushButton::clicked, this, &MainWindow::writeDeveloperDump);
    makeDialogs();
}

MainWindow::~MainWindow() {
    // Closing the window moves focus out of its fields, whose editingFinished would then reach
    // member slots of a window already half destroyed.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    if (thread_) {
        thread_->requestStop();
        thread_->wait();
    }
}

QWidget* MainWindow::makeControls() {
    auto* controls = new QWidget(this);
    controls->setObjectName("Controls");
    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(4, 4, 4, 0);
    column->setSpacing(2);
    column->addWidget(makeLevelRows());
    column->addWidget(makeEditionGroup());
    column->addWidget(makeOutputVersionGroup());
    column->addWidget(makeTxdGroup());
    column->addWidget(makeIdeIplGroup());
    column->addWidget(makeAdvancedGroup());
    column->addStretch();
    column->addWidget(makeStatusRows());
    column->addWidget(makeCommandRow());
    return controls;
}

QWidget* MainWindow::makeLevelRows() {
    auto* rows = new QWidget(this);
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    browseButton_ = new QPushButton("Browse LVZ", rows);
    browseButton_->setObjectName("BrowseButton");
    browseButton_->setFont(boldFont());
    browseButton_->setToolTip(QString("Choose one or more LVZ files.\n") + kDropHint);
    connect(browseButton_, &QPushButton::clicked, this, &MainWindow::browseLvz);
    lvzLabel_ = new ElidedLabel("LVZ: ", "none", rows);
    lvzLabel_->setObjectName("LVZpath");
    imgLabel_ = new ElidedLabel("IMG: ", "none", rows);
    imgLabel_->setObjectName("IMGpath");
    column->addWidget(browseButton_);
    column->addWidget(lvzLabel_);
    column->addWidget(imgLabel_);
    column->addLayout(makeOutputRow(rows));
    return rows;
}

// "Output: beside the level", or the folder chosen with "..."; "Reset" goes back to beside the level.
QHBoxLayout* MainWindow::makeOutputRow(QWidget* rows) {
    outputLabel_ = new ElidedLabel("Output: ", kBesideTheLevel, rows);
    outputLabel_->setObjectName("OutputPath");
    QPushButton* choose = smallButton("OutputButton", "...", 22);
    choose->setToolTip("Choose the folder that the level's output folder goes into");
    connect(choose, &QPushButton::clicked, this, &MainWindow::browseOutputFolder);
    outputReset_ = smallButton("OutputResetButton", "Reset", 40);
    outputReset_->setToolTip("Back to beside the level");
    outputReset_->setEnabled(false);
    // As low as the path rows above, so the window grows by no more than one of them.
    for (QPushButton* button : {choose, outputReset_}) button->setFixedHeight(outputLabel_->sizeHint().height());
    connect(outputReset_, &QPushButton::clicked, this, [this] { setOutputFolderChoice({}); });
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(outputLabel_, 1);
    row->addWidget(choose);
    row->addWidget(outputReset_);
    return row;
}

QGroupBox* MainWindow::makeEditionGroup() {
    QGroupBox* group = boldGroup("Game version:", this);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 0, 4, 2);
    grid->setVerticalSpacing(kGroupSpacing);
    const char* names[] = {"LCSPS2", "VCSPS2", "LCSPSP", "VCSPSP"};
    const char* captions[] = {"LCS PS2", "VCS PS2", "LCS PSP", "VCS PSP"};
    for (int i = 0; i < 4; ++i) {
        editions_.push_back(regular<QRadioButton>(names[i], captions[i], group));
        connect(editions_.back(), &QRadioButton::clicked, this, [this] { editionChosen_ = true; });
        grid->addWidget(editions_.back(), i / 2, i % 2);
    }
    editions_[0]->setChecked(true);
    return group;
}

QGroupBox* MainWindow::makeOutputVersionGroup() {
    return targetGameGroup("Output DFF version:", {"GTA3", "GTAVC", "GTASA"}, targetGames_, this);
}

QGroupBox* MainWindow::makeTxdGroup() {
    QGroupBox* group = boldGroup("TXD options:", this);
    QVBoxLayout* column = groupColumn(group);
    txdModes_.push_back(regular<QRadioButton>("NoTXD", "Don't make TXD", group));
    txdModes_.push_back(regular<QRadioButton>("MakeGenTXD", "Make one big TXD for all models", group));
    txdModes_.push_back(regular<QRadioButton>("MakeGroupTXD", "Make TXD for every", group));
    txdModes_[1]->setChecked(true);
    column->addWidget(txdModes_[0]);
    column->addWidget(txdModes_[1]);
    modelsPerTxd_ = regular<QLineEdit>("ModelsPerTXD", "50", group);
    modelsPerTxd_->setFixedWidth(36);
    // Checked when editing ends, so a number can be typed over freely ("50" to "20", not "120").
    connect(modelsPerTxd_, &QLineEdit::editingFinished, this, &MainWindow::modelsPerTxdEdited);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(txdModes_[2]);
    row->addWidget(modelsPerTxd_);
    row->addWidget(regular<QLabel>("ModelsLabel", "model(s)", group));
    row->addStretch();
    column->addLayout(row);
    return group;
}

QGroupBox* MainWindow::makeIdeIplGroup() {
    QGroupBox* group = boldGroup("IDE/IPL options:", this);
    QVBoxLayout* column = groupColumn(group);

    generateIde_ = regular<QCheckBox>("GenerateIDE", "Generate IDE/IPL", group);
    connect(generateIde_, &QCheckBox::toggled, this, &MainWindow::generateIdeToggled);
    QPushButton* advanced = smallButton("AdvancedButton", "Advanced", 64);
    connect(advanced, &QPushButton::clicked, this, [this] {
        // Centred on this window's left edge. Its frame is not known before it is first shown: it is
        // taken to be as wide as this window's.
        const int outerWidth = zonDialog_->width() + frameGeometry().width() - width();
        openDialog(zonDialog_.get(), QPoint(x() - outerWidth / 2, y() + 100));
    });
    auto* first = new QHBoxLayout;
    first->addWidget(generateIde_);
    first->addStretch();
    first->addWidget(advanced);
    column->addLayout(first);

    QPushButton* help = smallButton("IDoffsetHelp", "?", 20);
    connect(help, &QPushButton::clicked, this, [this] {
        showMessage("Specify the number from which the tool starts to counting and write IDs into IDE.\n"
                    "This is needed to avoid duplicate IDs with other models.",
                    MessageKind::Information);
    });
    offsets_ = addOffsetRows(group, column, help);
    generateIdeToggled(false); // the offsets wait for "Generate IDE/IPL"
    return group;
}

QGroupBox* MainWindow::makeAdvancedGroup() {
    QGroupBox* group = boldGroup("Advanced options:", this);
    QVBoxLayout* column = groupColumn(group);

    auto* prefixes = new QGridLayout;
    prefixes->setHorizontalSpacing(6);
    prefixes->setVerticalSpacing(0);
    prefixes->addWidget(regular<QLabel>("ModelPrefixLabel", "Model prefix:", group), 0, 0);
    prefixes->addWidget(regular<QLabel>("TexturePrefixLabel", "Texture prefix:", group), 0, 1);
    modelPrefix_ = regular<QLineEdit>("ModelPrefix", group);
    texturePrefix_ = regular<QLineEdit>("TexturePrefix", group);
    prefixes->addWidget(modelPrefix_, 1, 0);
    prefixes->addWidget(texturePrefix_, 1, 1);
    column->addLayout(prefixes);
    column->addSpacing(2);

    genBlankCol_ = regular<QCheckBox>("GenBlankCol", "Generate blank collision file", group);
    column->addWidget(genBlankCol_);

    genMipMaps_ = regular<QCheckBox>("GenMipMaps", "Generate mip-maps (VC/SA)", group);
    QPushButton* mipOptions = smallButton("Button3", "Options", 52);
    connect(mipOptions, &QPushButton::clicked, this,
            [this] { openDialog(mipMapDialog_.get(), pos() + QPoint(25, 200)); });
    auto* mipRow = new QHBoxLayout;
    mipRow->addWidget(genMipMaps_);
    mipRow->addStretch();
    mipRow->addWidget(mipOptions);
    column->addLayout(mipRow);

    genNightPrelit_ = regular<QCheckBox>("GenNightPrelit", "Generate night prelight (SA)", group);
    QPushButton* prelightOptions = smallButton("Button2", "Options", 52);
    connect(prelightOptions, &QPushButton::clicked, this,
            [this] { openDialog(prelightDialog_.get(), pos() + QPoint(0, 200)); });
    auto* prelightRow = new QHBoxLayout;
    prelightRow->addWidget(genNightPrelit_);
    prelightRow->addStretch();
    prelightRow->addWidget(prelightOptions);
    column->addLayout(prelightRow);

    optimiseMesh_ = new QCheckBox("Optimise mesh (recommended)", group);
    optimiseMesh_->setObjectName("OptimiseMesh");
    optimiseMesh_->setFont(boldFont());
    column->addWidget(optimiseMesh_);
    buildImg_ = regular<QCheckBox>("BuildIMG", "Build IMG archive", group);
    writeReport_ = regular<QCheckBox>("WriteReport", "Write report", group);
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(buildImg_);
    lastRow->addStretch();
    lastRow->addWidget(writeReport_);
    column->addLayout(lastRow);
    return group;
}

QWidget* MainWindow::makeStatusRows() {
    const StatusRows rows = gui::makeStatusRows(this, 0);
    status_ = rows.status;
    progress_ = rows.progress;
    return rows.widget;
}

QWidget* MainWindow::makeCommandRow() {
    auto* rowWidget = new QWidget(this);
    auto* row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, 2, 0, 0);
    row->setSpacing(4);
    toolsButton_ = new QToolButton(rowWidget);
    toolsButton_->setObjectName("ToolsButton");
    toolsButton_->setIcon(toolsIcon());
    toolsButton_->setToolTip("Tools");
    toolsButton_->setFixedSize(25, 25);
    toolsMenu_ = new QMenu(this);
    toolsMenu_->setObjectName("ToolsMenu");
    fillToolsMenu(*toolsMenu_, toolMenuItems());
    connect(toolsButton_, &QToolButton::clicked, this, &MainWindow::openToolsMenu);
    processButton_ = convertButton(rowWidget);
    processButton_->setEnabled(false);
    connect(processButton_, &QPushButton::clicked, this, &MainWindow::startConversion);
    row->addWidget(toolsButton_);
    row->addWidget(processButton_, 1);
    return rowWidget;
}

// The side tools, in menu order; each one is a caption and the way it opens.
std::vector<ToolMenuItem> MainWindow::toolMenuItems() {
    return {
        {"VC backface culling patcher", [this] { patchVcExecutable(); }},
        {"COL2 to COL converter", [this] { openDialog(col2Window_.get(), pos() + QPoint(0, 200)); }},
        {"Collision map converter",
         [this] {
             const std::array<QLineEdit*, 3>& edits = offsets_.mapOffset;
             colMapWindow_->setMapOffsetTexts({edits[0]->text(), edits[1]->text(), edits[2]->text()});
             openDialog(colMapWindow_.get(), pos() + QPoint(0, 100));
         }},
        {kInstallIntoGameCaption, [this] { openInstallWindow(); }},
    };
}

InstallWindow* MainWindow::openInstallWindow() {
    if (!installWindow_) {
        installWindow_ = std::make_unique<InstallWindow>();
        connect(installWindow_.get(), &QDialog::finished, this, [this] { setEnabled(true); });
    }
    const ConversionOptions options = gatherOptions();
    std::vector<std::filesystem::path> levels = batch_;
    if (levels.empty() && !options.lvzPath.empty()) levels.push_back(options.lvzPath);
    installWindow_->setSources(std::move(levels), options);
    openDialog(installWindow_.get(), pos() + QPoint(0, 100));
    return installWindow_.get();
}

void MainWindow::makeDialogs() {
    mipMapDialog_ = std::make_unique<MipMapDialog>();
    prelightDialog_ = std::make_unique<PrelightDialog>();
    col2Window_ = std::make_unique<Col2Window>();
    colMapWindow_ = std::make_unique<ColMapWindow>();
    zonDialog_ = std::make_unique<ZonDialog>();
    for (QDialog* dialog : dialogs()) connect(dialog, &QDialog::finished, this, [this] { setEnabled(true); });
}

std::array<QDialog*, 5> MainWindow::dialogs() const {
    return {mipMapDialog_.get(), prelightDialog_.get(), col2Window_.get(), colMapWindow_.get(), zonDialog_.get()};
}

} // namespace veldrin::gui
