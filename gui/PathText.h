#pragma once
#include <QString>
#include <filesystem>

namespace veldrin::gui {

// Paths between the toolkit's text and the file system, without loss for any characters.
inline std::filesystem::path toPath(const QString& text) { return std::filesystem::path(text.toStdU16String()); }
inline QString toQString(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

} // namespace veldrin::gui
