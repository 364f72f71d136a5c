#pragma once
#include <array>
#include <string>

class QGroupBox;
class QLineEdit;
class QVBoxLayout;
class QWidget;

namespace veldrin::gui {

// The "ID offset:" edit and the "Global map offset (XYZ):" edits of the windows that write IDE and IPL
// files. The ID offset edit holds a whole number from 0 that fits 32 bits: anything else turns it to "0".
struct OffsetEdits {
    QLineEdit* idOffset = nullptr;
    std::array<QLineEdit*, 3> mapOffset{}; // X, Y, Z
};

// Adds the offset rows to the column of `group`: "ID offset:" with its edit (1000) and `besideIdOffset`
// when given, then the map offset caption over the X, Y and Z edits (0.0).
OffsetEdits addOffsetRows(QGroupBox* group, QVBoxLayout* column, QWidget* besideIdOffset = nullptr);

int idOffsetOf(const OffsetEdits& edits);
// As typed: the run parses them when it starts.
std::array<std::string, 3> mapOffsetTextsOf(const OffsetEdits& edits);

} // namespace veldrin::gui
