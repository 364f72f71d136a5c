#include "gui/InstallWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextOption>
#include <QVBoxLayout>
#include <algorithm>

#include "app/install/InstallRun.h"
#include "app/install/InstallText.h"
#include "install/Uninstall.h"
#include "gui/ElidedLabel.h"
#include "gui/FormControls.h"
#include "gui/InstallWindowText.h"
#include "gui/PathText.h"
#include "gui/StatusRows.h"
#include "gui/ToolRunner.h"

namespace veldrin::gui {

InstallWindow::InstallWindow(QWidget* parent) : ToolWindow("Install into game", parent) {
    chooseFolder = openFolderDialog(this);
    showLinkedMessage = [this](const QString& text, MessageKind kind, const MessageLinks& links) {
        showLinkedMessageBox(this, text, kind, links, [this](const QUrl& url) { return followLink(url); });
    };
    openUrl = desktopOpener();
    askYesNo = [this](const QString& text) {
        return QMessageBox::question(this, QApplication::applicationName(), text) == QMessageBox::Yes;
    };

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    auto* gameRow = new QHBoxLayout;
    gameLabel_ = new ElidedLabel("Game: ", "none", this);
    gameLabel_->setObjectName("GameLabel");
    gameButton_ = smallButton("BrowseGame", "Game folder...", 96);
    connect(gameButton_, &QPushButton::clicked, this, &InstallWindow::chooseGameFolder);
    gameRow->addWidget(gameLabel_, 1);
    gameRow->addWidget(gameButton_);
    column->addLayout(gameRow);

    planView_ = new QPlainTextEdit(this);
    planView_->setObjectName("PlanText");
    planView_->setReadOnly(true);
    // The window is wide enough for the plan's tables; an error's long line (a path) wraps instead.
    planView_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    planView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    planView_->setPlainText("Choose the game's folder: the plan is shown here before anything is written.");
    column->addWidget(planView_, 1);

    overLimits_ = regular<QCheckBox>("OverLimits", kOverLimitsCaption, this);
    connect(overLimits_, &QCheckBox::toggled, this, [this] {
        if (!gameDir_.isEmpty()) planFor(gameDir_);
    });
    column->addWidget(overLimits_);

    const StatusRows rows = makeStatusRows(this, 0);
    status_ = rows.status;
    progress_ = rows.progress;
    column->addWidget(rows.widget);

    auto* buttons = new QHBoxLayout;
    installButton_ = convertButton(this);
    installButton_->setObjectName("InstallButton");
    installButton_->setText("Install");
    installButton_->setEnabled(false); // until a plan the game can take is shown
    connect(installButton_, &QPushButton::clicked, this, &InstallWindow::install);
    checkButton_ = smallButton("CheckButton", "Check", 64);
    connect(checkButton_, &QPushButton::clicked, this, &InstallWindow::check);
    uninstallButton_ = smallButton("UninstallButton", "Uninstall", 64);
    connect(uninstallButton_, &QPushButton::clicked, this, &InstallWindow::uninstallFromGame);
    setInstalled(false);
    stopButton_ = smallButton("StopButton", "Stop", 64);
    stopButton_->setEnabled(false);
    connect(stopButton_, &QPushButton::clicked, this, [this] { stop_ = true; });
    buttons->addWidget(installButton_, 1);
    buttons->addWidget(checkButton_);
    buttons->addWidget(uninstallButton_);
    buttons->addWidget(stopButton_);
    column->addLayout(buttons);
    resize(kClientWidth, kClientHeight);

    connect(runner_, &ToolRunner::statusChanged, status_, &ElidedLabel::setElidedText);
    connect(runner_, &ToolRunner::progressChanged, this, [this](int position, int maximum) {
        progress_->setRange(0, std::max(1, maximum));
        progress_->setValue(std::clamp(position, 0, std::max(1, maximum)));
    });
    connect(runner_, &ToolRunner::ended, this, [this](const QString& failure, const QStringList& warnings) {
        switch (running_) {
        case Run::Plan: planned(failure); break;
        case Run::Install: installed(failure, warnings); break;
        case Run::Check: checked(failure); break;
        }
    });
}

QUrl InstallWindow::uninstallUrl() { return QUrl("veldrin:uninstall"); }

void InstallWindow::setSources(std::vector<std::filesystem::path> sources, const ConversionOptions& options) {
    sources_ = std::move(sources);
    options_ = options;
    // Each level's edition is detected, as the command line's install does: the window's edition
    // choice is the one picked level's.
    options_.editionAuto = true;
    plan_.reset();
    installButton_->setEnabled(false);
    if (!gameDir_.isEmpty()) planFor(gameDir_);
}

QString InstallWindow::planText() const { return planView_->toPlainText(); }

void InstallWindow::chooseGameFolder() {
    const QString folder = chooseFolder("Game folder", gameDir_);
    if (!folder.isEmpty()) planFor(folder);
}

void InstallWindow::planFor(const QString& gameDir) {
    if (isConverting()) return;
    if (gameDir != gameDir_) outcome_.clear(); // it was another folder's
    gameDir_ = gameDir;
    gameLabel_->setElidedText(gameDir);
    plan_.reset();
    installButton_->setEnabled(false);
    planView_->setPlainText("Reading the game and the levels...");
    showStatus("Planning...");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    InstallRequest request;
    request.gameDir = toPath(gameDir);
    request.sources = sources_;
    request.options = options_;
    request.allowOverLimits = overLimits_->isChecked();
    auto planning = std::make_shared<Planning>();
    planning_ = planning;
    running_ = Run::Plan;
    setBusy(true);
    runner_->start([request, planning](const ColCallbacks&) {
        const install::GameFolder game = install::recogniseGameFolder(request.gameDir);
        planning->gameFolder = true;
        try {
            planning->installed = install::installStatus(game, install::StatusDepth::RecordOnly).installed;
        } catch (const std::exception&) {
            planning->installed = true; // a record is there, if unreadable: Check says why, Uninstall tries
        }
        planning->plan = planInstall(request);
    });
}

void InstallWindow::planned(const QString& failure) {
    setBusy(false);
    const std::shared_ptr<Planning> planning = std::move(planning_);
    setInstalled(planning->installed);
    const QString outcome = outcome_.isEmpty() ? QString() : outcome_ + "\n\n";
    if (!failure.isEmpty()) {
        planView_->setPlainText(outcome + "Cannot install into " + gameDir_ + ":\n" + failure);
        showStatus(planning->gameFolder ? "Cannot install: see above" : "Not a game folder", true);
        emit conversionEnded();
        return;
    }
    plan_ = std::make_shared<InstallPlan>(std::move(planning->plan));
    QString text = QString::fromStdString(installText::planText(*plan_));
    const QStringList why = windowRefusals(*plan_);
    for (const QString& w : why) text += "\nNot installable: " + w;
    planView_->setPlainText(outcome + text);
    installButton_->setEnabled(why.empty());
    if (outcomeFailed_ && !outcome_.isEmpty()) showStatus("Not installed: see above; Install tries again", true);
    else if (!why.empty()) showStatus("Not installable: see the plan", true);
    else if (plan_->earlier || hasInstall_) showStatus("Ready: Install replaces the install there");
    else showStatus("Ready to install");
    emit conversionEnded();
}

void InstallWindow::install() {
    if (!plan_ || isConverting()) return;
    if (plan_->earlier && !askYesNo(replaceQuestion(*plan_->earlier, gameDir_))) return;
    stop_ = false;
    outcome_.clear();
    running_ = Run::Install;
    setBusy(true);
    stopButton_->setEnabled(true);
    runner_->start([plan = plan_, this](const ColCallbacks& cb) {
        InstallCallbacks callbacks;
        callbacks.step = cb.status;
        callbacks.run.status = cb.status;
        callbacks.run.progress = cb.progress;
        callbacks.run.warning = [cb](WarningKind, const std::string& text) {
            if (cb.warning) cb.warning(text);
        };
        callbacks.run.stopRequested = [this] { return stop_.load(); };
        runInstall(*plan, callbacks);
    });
}

void InstallWindow::installed(const QString& failure, const QStringList& warnings) {
    setBusy(false);
    stopButton_->setEnabled(false);
    if (!failure.isEmpty()) {
        // Nothing of it stays in the game: the bar says so, and the window plans anew so that Install
        // can try again once the cause is put right.
        progress_->setRange(0, 1);
        progress_->setValue(0);
        outcome_ = failure; // it tells whether the game folder was left as it was
        outcomeFailed_ = true;
        showMessage(outcome_, MessageKind::Error);
        emit conversionEnded();
        planFor(gameDir_);
        return;
    }
    showStatus("Installed");
    progress_->setValue(progress_->maximum());
    setInstalled(true);
    plan_.reset(); // installed: a new plan reads the game as it is now
    QString text = "Installed into " + gameDir_ + ".";
    if (!warnings.isEmpty()) text += "\n" + QString::number(warnings.size()) + " warning(s): " + warnings.front();
    text += "\nUninstall removes it again and leaves the game as it was.";
    planView_->setPlainText(text + "\n\n" + planView_->toPlainText());
    showLinkedMessage(text, MessageKind::Information,
                      {{"Open game folder", QUrl::fromLocalFile(gameDir_)}, {"Uninstall", uninstallUrl()}});
    emit conversionEnded();
}

void InstallWindow::check() {
    if (gameDir_.isEmpty() || isConverting()) return;
    auto checking = std::make_shared<Checking>();
    checking_ = checking;
    running_ = Run::Check;
    setBusy(true);
    showStatus("Checking the install...");
    runner_->start([gameDir = toPath(gameDir_), checking](const ColCallbacks&) {
        const install::GameFolder game = install::recogniseGameFolder(gameDir);
        const install::InstallStatus status = install::installStatus(game);
        checking->text = installCheckText(status, game);
        checking->intact = status.intact();
    });
}

void InstallWindow::checked(const QString& failure) {
    setBusy(false);
    installButton_->setEnabled(plan_ && windowRefusals(*plan_).empty());
    const std::shared_ptr<Checking> checking = std::move(checking_);
    if (!failure.isEmpty()) {
        planView_->setPlainText("Cannot check the install in " + gameDir_ + ":\n" + failure);
        showStatus("Cannot check the install: see above", true);
    } else {
        planView_->setPlainText(checking->text);
        showStatus(checking->intact ? "Installed, as written" : "Installed, not as written: see above", !checking->intact);
    }
    emit conversionEnded();
}

void InstallWindow::uninstallFromGame() {
    if (gameDir_.isEmpty() || isConverting() || !askYesNo(uninstallQuestion(gameDir_))) return;
    try {
        outcome_ = uninstallText(install::uninstall(install::recogniseGameFolder(toPath(gameDir_))), gameDir_);
        outcomeFailed_ = false;
        showMessage(outcome_, MessageKind::Information);
    } catch (const std::exception& e) {
        outcome_ = "Cannot uninstall: " + QString::fromStdString(e.what());
        outcomeFailed_ = false; // the plan's own status says what Install would do now
        showMessage(outcome_, MessageKind::Error);
    }
    planFor(gameDir_);
}

bool InstallWindow::followLink(const QUrl& url) {
    if (url != uninstallUrl()) return openUrl(url);
    uninstallFromGame();
    return true;
}

void InstallWindow::showStatus(const QString& text, bool failed) {
    status_->setStyleSheet(failed ? "color: #c00000;" : "");
    status_->setElidedText(text);
}

void InstallWindow::setInstalled(bool installed) {
    hasInstall_ = installed;
    checkButton_->setEnabled(installed);
    uninstallButton_->setEnabled(installed);
}

void InstallWindow::setBusy(bool busy) {
    gameButton_->setEnabled(!busy);
    overLimits_->setEnabled(!busy);
    checkButton_->setEnabled(!busy && hasInstall_);
    uninstallButton_->setEnabled(!busy && hasInstall_);
    if (busy) installButton_->setEnabled(false);
}

} // namespace veldrin::gui
