#pragma once
#include <string>
#include <vector>

#include "report/WarningKinds.h"

namespace veldrin::cli {

// "N x Kind" for each kind of warning a run raised, kinds in order of first appearance, so a long
// run's warnings can be weighed at a glance at its end.
std::vector<std::string> warningCountLines(const std::vector<RunWarning>& warnings);

} // namespace veldrin::cli
