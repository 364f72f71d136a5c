#include "gui/PrelightDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "gui/ApplicationLook.h"

namespace veldrin::gui {

namespace {

QSlider* levelBar(QWidget* parent, const char* name, int value, const QRect& place) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(0, 255);
    bar->setValue(value);
    bar->setTickPosition(QSlider::NoTicks);
    bar->setGeometry(place);
    return bar;
}

QLabel* labelAt(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace

PrelightDialog::PrelightDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setWindowTitle("Prelight options");
    setFixedSize(std::max(230, titleBarWidth(windowTitle())), 160);

    labelAt(this, "Label1", "Minimum lightness level by day:", 16, 8);
    day_ = levelBar(this, "TrackBar1", kDefaultDay, QRect(0, 24, 225, 33));
    QLabel* dayValue = labelAt(this, "Label3", QString::number(kDefaultDay), 192, 8);
    labelAt(this, "Label2", "Minimum lightness level at night:", 16, 64);
    night_ = levelBar(this, "TrackBar2", kDefaultNight, QRect(0, 80, 225, 45));
    QLabel* nightValue = labelAt(this, "Label4", QString::number(kDefaultNight), 192, 64);
    // Room for "255" whatever the value shown first.
    dayValue->setFixedWidth(dayValue->fontMetrics().horizontalAdvance("255") + 2);
    nightValue->setFixedWidth(dayValue->width());

    connect(day_, &QSlider::valueChanged, dayValue, [dayValue](int v) { dayValue->setNum(v); });
    connect(night_, &QSlider::valueChanged, nightValue, [nightValue](int v) { nightValue->setNum(v); });

    auto* defaults = new QPushButton("Default", this);
    defaults->setObjectName("BitBtn2");
    defaults->setGeometry(8, 128, 107, 25);
    connect(defaults, &QPushButton::clicked, this, [this] {
        day_->setValue(kDefaultDay);
        night_->setValue(kDefaultNight);
    });
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BitBtn1");
    ok->setGeometry(120, 128, 105, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int PrelightDialog::dayMinimum() const { return day_->value(); }
int PrelightDialog::nightMinimum() const { return night_->value(); }

} // namespace veldrin::gui
