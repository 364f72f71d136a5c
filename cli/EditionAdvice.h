#pragma once
#include <string>

#include "app/detect/EditionDetection.h"

namespace veldrin::cli {

// A refused edition in the command line's words: the facts, then what to type.
std::string editionRefusalLine(const EditionChoice& choice);

} // namespace veldrin::cli
