// Highway measures its timer's resolution while it loads: 65,536 timer reads, each fenced by an
// instruction that a hypervisor traps, which cost every start of the program milliseconds (tens of
// them on a busy virtual machine) before main. The figure serves only Highway's own benchmark tool
// (hwy::Measure), which this program never runs. Defining the measuring function here replaces the
// library's at load (the executable's definition comes first), so nothing is measured at start.
#include <hwy/nanobenchmark.h>

namespace hwy::platform {

// No overhead known: a hwy::Measure would subtract none. Nothing here calls it.
uint64_t TimerResolution() {
    return 0;
}

} // namespace hwy::platform
