#include "gui/SessionSettings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QSettings>
#include <QSlider>
#include <string_view>
#include <vector>

#include "app/options/OptionTable.h"
#include "gui/ApplicationLook.h"
#include "gui/MainWindow.h"
#include "gui/MipMapDialog.h"
#include "gui/PathText.h"
#include "gui/PrelightDialog.h"

namespace veldrin::gui {

namespace {

// The option table's settings keys, "group/ControlName", of one group (one window or dialog): the
// controls kept, by object name, in table order (an option before those that refine it).
std::vector<const char*> keptControls(std::string_view group) {
    std::vector<const char*> names;
    for (const OptionEntry& entry : optionTable()) {
        if (entry.id == OptionId::Out) continue; // kept as the window's choice, not as a control
        for (const char* key : entry.settingsKeys) {
            const std::string_view k(key);
            if (k.substr(0, k.find('/')) == group) names.push_back(key + group.size() + 1);
        }
    }
    return names;
}

template <typename Names>
void saveControls(const QWidget& root, const QString& group, const Names& names, QSettings& s) {
    for (const char* name : names) {
        const QString key = group + "/" + name;
        const QObject* control = root.findChild<QObject*>(name);
        if (auto* button = qobject_cast<const QAbstractButton*>(control)) s.setValue(key, button->isChecked());
        else if (auto* edit = qobject_cast<const QLineEdit*>(control)) s.setValue(key, edit->text());
        else if (auto* list = qobject_cast<const QComboBox*>(control)) s.setValue(key, list->currentIndex());
        else if (auto* slider = qobject_cast<const QSlider*>(control)) s.setValue(key, slider->value());
    }
}

template <typename Names>
void restoreControls(QWidget& root, const QString& group, const Names& names, QSettings& s) {
    for (const char* name : names) {
        const QString key = group + "/" + name;
        if (!s.contains(key)) continue;
        const QVariant value = s.value(key);
        QObject* control = root.findChild<QObject*>(name);
        // Clicking, rather than setting, runs the control's own rules (enabling, unticking the others).
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            if (button->isChecked() != value.toBool()) button->click();
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(value.toString());
            emit edit->editingFinished(); // checked as if typed
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            if (value.toInt() >= 0 && value.toInt() < list->count()) list->setCurrentIndex(value.toInt());
        } else if (auto* slider = qobject_cast<QSlider*>(control)) {
            if (value.toInt() >= slider->minimum() && value.toInt() <= slider->maximum()) slider->setValue(value.toInt());
        }
    }
}

QString outputFolderKey() { return optionEntry(OptionId::Out).settingsKeys.at(0); }

} // namespace

void saveSession(const MainWindow& window, QSettings& s) {
    s.setValue("window/position", window.pos());
    s.setValue("window/size", window.size());
    saveControls(window, "options", keptControls("options"), s);
    s.setValue(outputFolderKey(), toQString(window.outputFolderChoice()));
    saveControls(*window.mipMapDialog(), "mipmaps", keptControls("mipmaps"), s);
    saveControls(*window.prelightDialog(), "prelight", keptControls("prelight"), s);
}

void restoreSession(MainWindow& window, QSettings& s) {
    if (s.contains("window/size")) window.resize(s.value("window/size").toSize()); // no smaller than its minimum
    if (s.contains("window/position")) {
        // Back on a screen, should the screens have changed since.
        const QPoint kept = s.value("window/position").toPoint();
        const QScreen* screen = QGuiApplication::screenAt(kept) ? QGuiApplication::screenAt(kept) : QGuiApplication::primaryScreen();
        window.move(screen ? placeInside(kept, window.frameGeometry().size(), screen->availableGeometry()) : kept);
    }
    restoreControls(window, "options", keptControls("options"), s);
    if (s.contains(outputFolderKey())) window.setOutputFolderChoice(toPath(s.value(outputFolderKey()).toString()));
    restoreControls(*window.mipMapDialog(), "mipmaps", keptControls("mipmaps"), s);
    restoreControls(*window.prelightDialog(), "prelight", keptControls("prelight"), s);
}

} // namespace veldrin::gui
