#include "gui/MipMapDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/ApplicationLook.h"

namespace veldrin::gui {

MipMapDialog::MipMapDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setWindowTitle("Mip-maps options");

    auto* label = new QLabel("Generate mip-maps for textures:", this);
    label->setObjectName("Label1");
    list_ = new QComboBox(this);
    list_->setObjectName("MipMapList");
    list_->addItems({"All textures", "Greater than 16x16", "Greater than 32x32", "Greater than 64x64",
                     "Greater than 128x128"});
    list_->setCurrentIndex(0);

    auto* qualityLabel = new QLabel("Block compression quality:", this);
    qualityLabel->setObjectName("DxtQualityLabel");
    quality_ = new QComboBox(this);
    quality_->setObjectName("DxtQualityList");
    // In DxtQuality order.
    quality_->addItem("Exact");
    quality_->setItemData(0, "The encoder's exact choices, as every earlier version wrote them", Qt::ToolTipRole);
    quality_->addItem("High");
    quality_->setItemData(1, "Endpoints fitted to each block's colours: closer colours, slower", Qt::ToolTipRole);
    quality_->setCurrentIndex(0);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancelButton = new QPushButton("Cancel", this);
    cancelButton->setObjectName("CancelButton");
    connect(cancelButton, &QPushButton::clicked, this, &MipMapDialog::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancelButton);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);
    column->addWidget(label);
    column->addWidget(list_);
    column->addWidget(qualityLabel);
    column->addWidget(quality_);
    column->addLayout(buttons);
    setFixedSize(std::max({200, column->minimumSize().width(), titleBarWidth(windowTitle())}), column->sizeHint().height());
}

void MipMapDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // shown again by the window system, not opened
    openedList_ = list_->currentIndex();
    openedQuality_ = quality_->currentIndex();
}

void MipMapDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) cancel();
    else QDialog::keyPressEvent(event);
}

void MipMapDialog::cancel() {
    list_->setCurrentIndex(openedList_);
    quality_->setCurrentIndex(openedQuality_);
    reject();
}

int MipMapDialog::threshold() const { return list_->currentIndex(); }

DxtQuality MipMapDialog::dxtQuality() const { return quality_->currentIndex() == 1 ? DxtQuality::High : DxtQuality::Exact; }

} // namespace veldrin::gui
