#pragma once
#include <QDialog>
#include <functional>

#include "gui/ApplicationLook.h"
#include "level/ZonFile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace veldrin::gui {

// "ZON parameters": restricts a conversion to one island of a MAP.ZON. Created hidden at start; keeps
// its choices and its zone table for the life of the program.
class ZonDialog : public QDialog {
    Q_OBJECT
public:
    explicit ZonDialog(QWidget* parent = nullptr);

    bool useZon() const;
    void setUseZon(bool on);
    // The selected island, or -1 when none is (a file without zones selects none).
    int island() const;
    bool forceMegaLods() const;
    // The MAP.ZON loaded last; empty before the first load.
    QString zonPath() const { return zonPath_; }
    const ZoneTable& zones() const { return zones_; }

    // Reads the file's zones, selects the smallest island among them and lists its zones. A file that
    // cannot be read or parsed is reported and changes nothing: the previous table and path stay.
    void loadZonFile(const QString& path);

    // How messages reach the user; the tests replace it to read them.
    std::function<void(const QString&, MessageKind)> showMessage;

private:
    void browseZonFile();
    void refillZoneList();
    void useZonToggled(bool on);

    QCheckBox* useZon_;
    QPushButton* browse_;
    QLabel* islandLabel_;
    QComboBox* islandList_;
    QTreeWidget* zoneList_;
    QCheckBox* forceMegaLods_;
    ZoneTable zones_;
    QString zonPath_;
};

} // namespace veldrin::gui
