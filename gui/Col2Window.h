#pragma once
#include <QStringList>

#include "collision/StoriesColModel.h"
#include "gui/ToolWindow.h"

class QAbstractButton;
class QLabel;
class QPushButton;

namespace veldrin::gui {

// "COL2 to COL Converter": converts one standalone Stories collision file, picked with "Browse...",
// into the file of the same name followed by ".col", reading it in the edition whose button is down.
// Created hidden at start; keeps its edition for the life of the program. The conversion runs on a
// worker thread, and "Browse..." waits for it.
class Col2Window : public ToolWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 230;
    static constexpr int kClientHeight = 130;

    explicit Col2Window(QWidget* parent = nullptr);

    StoriesEdition edition() const;

private:
    void browse();
    void conversionFinished(const QString& failure, const QStringList& warnings);

    QAbstractButton* lcs_;
    QAbstractButton* vcs_;
    QPushButton* browse_;
    QLabel* status_;
};

} // namespace veldrin::gui
