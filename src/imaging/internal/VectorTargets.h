#pragma once
// The vector targets compiled into the program that this machine can run, best first, and their
// names. Pinning one makes every dispatched function of the core use only it (0 lifts the pin);
// tests and benches use this to hold every target to the same bytes, or to time one.
#include <cstdint>
#include <string>
#include <vector>

namespace veldrin {

std::vector<int64_t> runnableVectorTargets();
std::string vectorTargetName(int64_t target);
void pinVectorTarget(int64_t target);

} // namespace veldrin
