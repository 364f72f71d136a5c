#pragma once
#include <QString>
#include <filesystem>
#include <optional>

#include "app/detect/EditionDetection.h"

namespace veldrin::gui {

// What the window says about a picked level's edition: the edition detected ("Detected: VCS PSP"), or
// why none was ("Edition not detected: ..."). Reads the whole level; nothing is written.
struct DetectedEdition {
    std::optional<GameVersion> edition;
    QString status;
};
DetectedEdition detectPickedEdition(const std::filesystem::path& lvzPath, const std::filesystem::path& imgPath);

// A refused edition in the window's words: the refusal, then which edition button to choose.
QString editionRefusalText(const EditionChoice& choice);

} // namespace veldrin::gui
