#include "gui/InstallWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/install/InstallRun.h"
#include "app/install/InstallText.h"
#include "install/Uninstall.h"
#include "gui/ElidedLabel.h"
#include "gui/FormControls.h"
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
    planView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    planView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    planView_->setPlainText("Choose the game's folder: the plan is shown here before anything is written.");
    column->addWidget(planView_, 1);

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
    stopButton_ = smallButton("StopButton", "Stop", 64);
    stopButton_->setEnabled(false);
    connect(stopButton_, &QPushButton::clicked, this, [this] { stop_ = true; });
    buttons->addWidget(installButton_, 1);
    buttons->addWidget(stopButton_);
    column->addLayout(buttons);
    resize(kClientWidth, kClientHeight);

    connect(runner_, &ToolRunner::statusChanged, status_, &ElidedLabel::setElidedText);
    connect(runner_, &ToolRunner::progressChanged, this, [this](int position, int maximum) {
        progress_->setRange(0, std::max(1, maximum));
        progress_->setValue(std::clamp(position, 0, std::max(1, maximum)));
    });
    connect(runner_, &ToolRunner::ended, this, [this](const QString& failure, const QStringList& warnings) {
        if (installing_) installed(failure, warnings);
        else planned(failure);
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
    gameDir_ = gameDir;
    gameLabel_->setElidedText(gameDir);
    plan_.reset();
    installButton_->setEnabled(false);
    planView_->setPlainText("Reading the game and the levels...");
    InstallRequest request;
    request.gameDir = toPath(gameDir);
    request.sources = sources_;
    request.options = options_;
    auto planning = std::make_shared<InstallPlan>();
    planning_ = planning;
    installing_ = false;
    setBusy(true);
    runner_->start([request, planning](const ColCallbacks&) { *planning = planInstall(request); });
}

void InstallWindow::planned(const QString& failure) {
    setBusy(false);
    if (!failure.isEmpty()) {
        planView_->setPlainText("Cannot install into " + gameDir_ + ":\n" + failure);
        emit conversionEnded();
        return;
    }
    plan_ = std::move(planning_);
    QString text = QString::fromStdString(installText::planText(*plan_));
    const std::vector<std::string> why = plan_->refusals();
    for (const std::string& w : why) text += "\nNot installable: " + QString::fromStdString(w);
    planView_->setPlainText(text);
    installButton_->setEnabled(why.empty());
    emit conversionEnded();
}

void InstallWindow::install() {
    if (!plan_ || isConverting()) return;
    stop_ = false;
    installing_ = true;
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
    installing_ = false;
    setBusy(false);
    stopButton_->setEnabled(false);
    if (!failure.isEmpty()) {
        status_->setElidedText("Not installed");
        showMessage(failure, MessageKind::Error);
        emit conversionEnded();
        return;
    }
    status_->setElidedText("Installed");
    installButton_->setEnabled(false); // installed: a new plan reads the game as it is now
    QString text = "Installed into " + gameDir_ + ".";
    if (!warnings.isEmpty()) text += "\n" + QString::number(warnings.size()) + " warning(s): " + warnings.front();
    text += "\nUninstall removes it again and leaves the game as it was.";
    showLinkedMessage(text, MessageKind::Information,
                      {{"Open game folder", QUrl::fromLocalFile(gameDir_)}, {"Uninstall", uninstallUrl()}});
    emit conversionEnded();
}

bool InstallWindow::followLink(const QUrl& url) {
    if (url != uninstallUrl()) return openUrl(url);
    try {
        const install::UninstallResult r = install::uninstall(install::recogniseGameFolder(toPath(gameDir_)));
        QString text = "Uninstalled from " + gameDir_ + ": " + QString::number(r.removed.size()) + " file(s) removed.";
        if (!r.kept.empty())
            text += "\nKept, as they changed since the install: " + QString::fromStdString(r.kept.front()) +
                    (r.kept.size() > 1 ? " and " + QString::number(r.kept.size() - 1) + " more" : QString());
        showMessage(text, MessageKind::Information);
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()), MessageKind::Error);
    }
    planFor(gameDir_);
    return true;
}

void InstallWindow::setBusy(bool busy) {
    gameButton_->setEnabled(!busy);
    if (busy) installButton_->setEnabled(false);
}

} // namespace veldrin::gui
