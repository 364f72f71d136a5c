#include "gui/ZonDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "base/FileIO.h"
#include "gui/ApplicationLook.h"
#include "gui/FileChooser.h"
#include "gui/PathText.h"

namespace veldrin::gui {

namespace {

constexpr int kIslandItems = 10; // "0" to "9"

QString boundText(float value) { return QString::number(static_cast<double>(value), 'f', 3); }

} // namespace

ZonDialog::ZonDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setWindowTitle("ZON parameters");
    setFixedSize(std::max(529, titleBarWidth(windowTitle())), 335);
    showMessage = [this](const QString& text, MessageKind kind) { showMessageBox(this, text, kind); };

    useZon_ = new QCheckBox("Use ZON", this);
    useZon_->setObjectName("UseZon");
    browse_ = new QPushButton("Browse MAP.ZON", this);
    browse_->setObjectName("BrowseZon");
    browse_->setMinimumWidth(browse_->fontMetrics().horizontalAdvance(browse_->text()) + 20);
    islandLabel_ = new QLabel("Island ID:", this);
    islandLabel_->setObjectName("IslandLabel");
    islandList_ = new QComboBox(this);
    islandList_->setObjectName("IslandList");
    for (int i = 0; i < kIslandItems; ++i) islandList_->addItem(QString::number(i));
    islandList_->setCurrentIndex(0);
    forceMegaLods_ = new QCheckBox("Force export MegaLODs", this);
    forceMegaLods_->setObjectName("ForceMegaLods");

    zoneList_ = new QTreeWidget(this);
    zoneList_->setObjectName("ZoneList");
    zoneList_->setHeaderLabels({"Name", "ID", "Lw X", "Lw Y", "Lw Z", "Up X", "Up Y", "Up Z"});
    zoneList_->setRootIsDecorated(false);
    zoneList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    zoneList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    zoneList_->setColumnWidth(0, 100);
    zoneList_->setColumnWidth(1, 30);
    for (int column = 2; column < 8; ++column) zoneList_->setColumnWidth(column, 60);

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->setObjectName("CloseButtons");
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(useZon_);
    top->addWidget(browse_);
    top->addSpacing(12);
    top->addWidget(islandLabel_);
    top->addWidget(islandList_);
    top->addStretch();
    top->addWidget(forceMegaLods_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->addLayout(top);
    column->addWidget(zoneList_, 1);
    column->addWidget(close);

    connect(useZon_, &QCheckBox::toggled, this, &ZonDialog::useZonToggled);
    connect(browse_, &QPushButton::clicked, this, &ZonDialog::browseZonFile);
    connect(islandList_, &QComboBox::currentIndexChanged, this, &ZonDialog::refillZoneList);
    useZonToggled(false);
}

bool ZonDialog::useZon() const { return useZon_->isChecked(); }
void ZonDialog::setUseZon(bool on) { useZon_->setChecked(on); }
int ZonDialog::island() const { return islandList_->currentIndex(); }
bool ZonDialog::forceMegaLods() const { return forceMegaLods_->isChecked(); }

void ZonDialog::useZonToggled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{browse_, islandLabel_, islandList_, zoneList_}) w->setEnabled(on);
    forceMegaLods_->setChecked(on);
}

void ZonDialog::browseZonFile() {
    const QString path =
        openFileIn(this, "Browse MAP.ZON", "map.zon (map.zon MAP.ZON Map.zon)");
    if (!path.isEmpty()) loadZonFile(path);
}

void ZonDialog::loadZonFile(const QString& path) {
    ZoneTable zones;
    try {
        zones = readZoneTable(readWholeFile(toPath(path)), path.toStdString());
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()), MessageKind::Error);
        return;
    }
    zones_ = std::move(zones);
    zonPath_ = path;
    browse_->setToolTip(path);
    // The island a run keeps when none is named; the list holds the first ten.
    const std::optional<int> smallest = smallestIsland(zones_);
    // Refill even when the selection stays, since the table changed.
    const QSignalBlocker quiet(islandList_);
    islandList_->setCurrentIndex(smallest && *smallest < kIslandItems ? *smallest : -1);
    refillZoneList();
}

void ZonDialog::refillZoneList() {
    zoneList_->clear();
    const int selected = island();
    for (const ZoneEntry& zone : zones_) {
        if (zone.island != selected) continue;
        auto* row = new QTreeWidgetItem(zoneList_);
        row->setText(0, QString::fromStdString(zone.name));
        row->setText(1, QString::number(zone.island));
        for (int axis = 0; axis < 3; ++axis) {
            row->setText(2 + axis, boundText(zone.min[static_cast<std::size_t>(axis)]));
            row->setText(5 + axis, boundText(zone.max[static_cast<std::size_t>(axis)]));
        }
    }
}

} // namespace veldrin::gui
