#include "gui/RunLog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/FormControls.h"

namespace veldrin::gui {

namespace {

// A long session's runs stay, but not without bound: the oldest lines go first.
constexpr int kMostLines = 50000;

} // namespace

RunLog::RunLog(QWidget* parent) : QWidget(parent) {
    setObjectName("LogPane");
    auto* caption = new QLabel(kLogCaption, this);
    caption->setObjectName("LogCaption");
    caption->setFont(boldFont());
    QPushButton* clearButton = smallButton("LogClearButton", kLogClearCaption, 48);
    clearButton->setToolTip("Empty the log");
    connect(clearButton, &QPushButton::clicked, this, &RunLog::clear);
    view_ = new QPlainTextEdit(this);
    view_->setObjectName("RunLog");
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view_->setMaximumBlockCount(kMostLines);
    view_->setPlaceholderText(kLogPlaceholder);
    view_->setMinimumWidth(140);
    // A drop over the log reaches the window, which picks the levels.
    view_->setAcceptDrops(false);
    view_->viewport()->setAcceptDrops(false);

    auto* header = new QHBoxLayout;
    header->setSpacing(4);
    header->addWidget(caption);
    header->addStretch();
    header->addWidget(clearButton);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 4, 4, 0);
    column->setSpacing(2);
    column->addLayout(header);
    column->addWidget(view_, 1);
}

void RunLog::startRun(const QString& title) {
    if (!view_->document()->isEmpty()) view_->appendPlainText("");
    view_->appendPlainText(title);
}

void RunLog::addStep(const QString& text) { view_->appendPlainText("  " + text); }

void RunLog::addWarning(const QString& text) { view_->appendPlainText("  " + QString(kLogWarningPrefix) + text); }

void RunLog::addLine(const QString& text) { view_->appendPlainText(text); }

void RunLog::clear() { view_->clear(); }

QString RunLog::text() const { return view_->toPlainText(); }

} // namespace veldrin::gui
