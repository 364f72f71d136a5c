#include "install/Uninstall.h"

#include "base/Error.h"

namespace veldrin::install {

bool InstallStatus::intact() const { return false; }
InstallStatus installStatus(const GameFolder&) { return {}; }
UninstallResult uninstall(const GameFolder&) { throw VeldrinError("uninstall: not written yet"); }

} // namespace veldrin::install
