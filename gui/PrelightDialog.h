#pragma once
#include <QDialog>

class QLabel;
class QSlider;

namespace veldrin::gui {

// "Prelight options": the minimum lightness by day and at night. Created hidden at start; keeps its
// levels for the life of the program.
class PrelightDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDefaultDay = 64;
    static constexpr int kDefaultNight = 16;

    explicit PrelightDialog(QWidget* parent = nullptr);

    int dayMinimum() const;
    int nightMinimum() const;

private:
    QSlider* day_;
    QSlider* night_;
};

} // namespace veldrin::gui
