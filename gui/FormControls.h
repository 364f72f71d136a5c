#pragma once
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QVBoxLayout>
#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/TextUtil.h"
#include "gui/ApplicationLook.h"

// The controls that the main window and the side tools' windows share, so they all look alike.
namespace veldrin::gui {

inline constexpr int kGroupSpacing = 0;
inline constexpr int kEditHeight = 19;

inline QGroupBox* boldGroup(const char* title, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    group->setFont(boldFont());
    return group;
}

// Controls inside a bold group keep the regular weight.
template <typename Widget, typename... Args>
Widget* regular(const char* name, Args&&... args) {
    auto* w = new Widget(std::forward<Args>(args)...);
    w->setObjectName(name);
    w->setFont(regularFont());
    if constexpr (std::is_same_v<Widget, QLineEdit>) w->setFixedHeight(kEditHeight);
    return w;
}

inline QVBoxLayout* groupColumn(QGroupBox* group) {
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(4, 0, 4, 2);
    column->setSpacing(kGroupSpacing);
    return column;
}

inline QPushButton* smallButton(const char* name, const QString& caption, int width) {
    auto* button = regular<QPushButton>(name, caption);
    button->setFixedSize(width, 20);
    return button;
}

// The bold "Convert!" button that starts a window's run.
inline QPushButton* convertButton(QWidget* parent) {
    auto* button = new QPushButton("Convert!", parent);
    button->setObjectName("ProcessButton");
    button->setFont(boldFont());
    button->setFixedHeight(25);
    return button;
}

// A group of the three target games' radio buttons in a row, the first one chosen. The buttons go into
// `buttons` in TargetGame order.
inline QGroupBox* targetGameGroup(const char* title, const std::array<const char*, 3>& names,
                                  std::vector<QRadioButton*>& buttons, QWidget* parent) {
    QGroupBox* group = boldGroup(title, parent);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(4, 0, 4, 2);
    const char* captions[] = {"GTA 3", "GTA VC", "GTA SA"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        buttons.push_back(regular<QRadioButton>(names[i], captions[i], group));
        row->addWidget(buttons.back());
    }
    buttons[0]->setChecked(true);
    return group;
}

// The value of the radio button that is down, the buttons standing for `firstValue` and the values after it.
template <typename Enum>
Enum checkedChoice(const std::vector<QRadioButton*>& buttons, int firstValue) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked()) return static_cast<Enum>(firstValue + static_cast<int>(i));
    }
    return static_cast<Enum>(firstValue);
}

// The value of a whole number from `low` up that fits 32 bits, or nothing: the rule of every ID
// offset and count edit.
inline std::optional<int> wholeNumberFrom(const QString& text, int low) {
    const auto value = parseInteger(text.toStdString());
    if (!value || *value < low || *value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace veldrin::gui
