#include "install/GameContent.h"

namespace veldrin::install {

GameContent readGameContent(const GameFolder&) { return {}; }

} // namespace veldrin::install
