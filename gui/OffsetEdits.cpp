#include "gui/OffsetEdits.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/FormControls.h"

namespace veldrin::gui {

OffsetEdits addOffsetRows(QGroupBox* group, QVBoxLayout* column, QWidget* besideIdOffset) {
    OffsetEdits edits;
    QLineEdit* idOffset = regular<QLineEdit>("IDoffset", "1000", group);
    idOffset->setFixedWidth(70);
    // Checked when editing ends, so a number can be typed over freely.
    QObject::connect(idOffset, &QLineEdit::editingFinished, idOffset, [idOffset] {
        if (!wholeNumberFrom(idOffset->text(), 0)) idOffset->setText("0");
    });
    auto* idRow = new QHBoxLayout;
    idRow->setSpacing(4);
    idRow->addWidget(regular<QLabel>("IDoffsetLabel", "ID offset:", group));
    idRow->addWidget(idOffset);
    if (besideIdOffset) idRow->addWidget(besideIdOffset);
    idRow->addStretch();
    column->addLayout(idRow);
    edits.idOffset = idOffset;

    column->addWidget(regular<QLabel>("MapOffsetLabel", "Global map offset (XYZ):", group));
    auto* mapRow = new QHBoxLayout;
    mapRow->setSpacing(4);
    const char* names[] = {"MapOffsetX", "MapOffsetY", "MapOffsetZ"};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        edits.mapOffset[axis] = regular<QLineEdit>(names[axis], "0.0", group);
        mapRow->addWidget(edits.mapOffset[axis]);
    }
    column->addLayout(mapRow);
    return edits;
}

// While it is being edited the text may be anything: it counts as 0 until editing ends.
int idOffsetOf(const OffsetEdits& edits) { return wholeNumberFrom(edits.idOffset->text(), 0).value_or(0); }

std::array<std::string, 3> mapOffsetTextsOf(const OffsetEdits& edits) {
    std::array<std::string, 3> texts;
    for (std::size_t axis = 0; axis < 3; ++axis) texts[axis] = edits.mapOffset[axis]->text().toStdString();
    return texts;
}

} // namespace veldrin::gui
