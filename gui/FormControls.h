#pragma once
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>

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

// The value of a whole number from `low` up that fits 32 bits, or nothing: the rule of every ID
// offset and count edit.
inline std::optional<int> wholeNumberFrom(const QString& text, int low) {
    const auto value = parseInteger(text.toStdString());
    if (!value || *value < low || *value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace veldrin::gui
