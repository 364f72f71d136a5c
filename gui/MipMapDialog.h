#pragma once
#include <QDialog>

#include "imaging/Imaging.h"

class QComboBox;

namespace veldrin::gui {

// "Mip-maps options": which textures get mip-maps, by width, and how hard the block encoder of the
// compressed textures works. Created hidden at start; keeps its choices for the life of the program.
// OK and the close box keep what was chosen; Cancel (and Escape) put back what the dialog showed when
// it opened.
class MipMapDialog : public QDialog {
    Q_OBJECT
public:
    explicit MipMapDialog(QWidget* parent = nullptr);

    // The list's item index, 0 ("All textures") to 4 ("Greater than 128x128").
    int threshold() const;
    // "Exact" (the default) or "High".
    DxtQuality dxtQuality() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cancel();

    QComboBox* list_;
    QComboBox* quality_;
    int openedList_ = 0;    // the choices as the dialog opened with them
    int openedQuality_ = 0;
};

} // namespace veldrin::gui
