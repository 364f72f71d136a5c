#pragma once
#include <QDialog>

class QComboBox;

namespace veldrin::gui {

// "Mip-maps options": which textures get mip-maps, by width. Created hidden at start; keeps its choice
// for the life of the program.
class MipMapDialog : public QDialog {
    Q_OBJECT
public:
    explicit MipMapDialog(QWidget* parent = nullptr);

    // The list's item index, 0 ("All textures") to 4 ("Greater than 128x128").
    int threshold() const;

private:
    QComboBox* list_;
};

} // namespace veldrin::gui
