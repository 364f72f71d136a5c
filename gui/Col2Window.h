#pragma once
#include <QDialog>
#include <functional>

#include "collision/StoriesColModel.h"
#include "gui/FileChooser.h"

class QAbstractButton;
class QLabel;
class QPushButton;

namespace veldrin::gui {

class ToolRunner;

// "COL2 to COL Converter": converts one standalone Stories collision file, picked with "Browse...",
// into the file of the same name followed by ".col", reading it in the edition whose button is down.
// Created hidden at start; keeps its edition for the life of the program. The conversion runs on a
// worker thread, and "Browse..." waits for it.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 230;
    static constexpr int kClientHeight = 130;

    explicit TForm4(QWidget* parent = nullptr);

    StoriesEdition edition() const;
    bool isConverting() const;

    // How the file is chosen and messages reach the user; the tests replace them.
    FileChooser chooseFile;
    std::function<void(const QString&)> showMessage;

signals:
    void conversionEnded();

private:
    void browse();
    void conversionFinished(const QString& failure, const QStringList& warnings);

    QAbstractButton* lcs_;
    QAbstractButton* vcs_;
    QPushButton* browse_;
    QLabel* status_;
    ToolRunner* runner_;
};

} // namespace veldrin::gui
