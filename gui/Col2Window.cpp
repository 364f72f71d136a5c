#include "gui/Col2Window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "collision/ColConv.h"
#include "gui/ApplicationLook.h"
#include "gui/FormControls.h"
#include "gui/PathText.h"
#include "gui/ToolRunner.h"
#include "gui/WarningsMessage.h"

namespace veldrin::gui {

namespace {

// A latching button of the edition group, lettered with its edition.
QToolButton* editionButton(const char* name, const char* letters, QWidget* parent) {
    auto* button = regular<QToolButton>(name, parent);
    button->setText(letters);
    button->setCheckable(true);
    button->setFixedSize(56, 24);
    return button;
}

} // namespace

Col2Window::Col2Window(QWidget* parent) : ToolWindow("COL2 to COL Converter", parent) {
    QGroupBox* group = boldGroup("COL2 Version:", this);
    lcs_ = editionButton("LcsButton", "LCS", group);
    vcs_ = editionButton("VcsButton", "VCS", group);
    lcs_->setChecked(true);
    auto* editions = new QButtonGroup(this);
    editions->setExclusive(true); // exactly one is down
    editions->addButton(lcs_);
    editions->addButton(vcs_);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(4, 2, 4, 4);
    row->addStretch();
    row->addWidget(lcs_);
    row->addSpacing(16);
    row->addWidget(vcs_);
    row->addStretch();

    browse_ = new QPushButton("Browse...", this);
    browse_->setObjectName("BrowseButton");
    browse_->setFont(boldFont());
    browse_->setFixedHeight(25);
    browse_->setDefault(true);
    connect(browse_, &QPushButton::clicked, this, &Col2Window::browse);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName("StatusBar1");
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel("Ready...", statusBar);
    status_->setObjectName("StatusPanel");
    statusBar->addWidget(status_, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 0);
    column->setSpacing(4);
    column->addWidget(group);
    column->addWidget(browse_);
    column->addStretch();
    column->addWidget(statusBar);
    const QSize needed = column->minimumSize();
    setFixedSize(std::max({kClientWidth, needed.width(), titleBarWidth(windowTitle())}), std::max(kClientHeight, needed.height()));

    connect(runner_, &ToolRunner::ended, this, &Col2Window::conversionFinished);
}

StoriesEdition Col2Window::edition() const { return vcs_->isChecked() ? StoriesEdition::VCS : StoriesEdition::LCS; }

void Col2Window::browse() {
    if (isConverting()) return;
    const QString chosen = chooseFile("Browse COL2", "Stories collision files (*.col2 *.COL2)");
    if (chosen.isEmpty()) return;
    const std::filesystem::path input = toPath(chosen);
    const StoriesEdition edition = this->edition();
    browse_->setEnabled(false);
    runner_->start([input, edition](const ColCallbacks& callbacks) {
        convertCol2File(input, col2OutputPath(input), edition, callbacks);
    });
}

void Col2Window::conversionFinished(const QString& failure, const QStringList& warnings) {
    browse_->setEnabled(true);
    if (failure == kInvalidCol2Message) {
        status_->setText(kInvalidCol2Message);
    } else {
        // The outcome is told first; the panel then says the file is dealt with.
        if (!failure.isEmpty()) showMessage("Error!\n" + failure, MessageKind::Error);
        else if (!warnings.isEmpty()) showMessage(warningsMessage(warnings), MessageKind::Warning);
        status_->setText(kColDoneMessage);
    }
    emit conversionEnded();
}

} // namespace veldrin::gui
