#pragma once
#include <QString>

#include "app/EditionDetection.h"

namespace veldrin::gui {

// A refused edition in the window's words: the refusal, then which edition button to choose.
QString editionRefusalText(const EditionChoice& choice);

} // namespace veldrin::gui
