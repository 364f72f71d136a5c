#include "internal/VectorTargets.h"

#include <hwy/targets.h>

namespace veldrin {

std::vector<int64_t> runnableVectorTargets() {
    return hwy::SupportedAndGeneratedTargets();
}

std::string vectorTargetName(int64_t target) {
    return hwy::TargetName(target);
}

void pinVectorTarget(int64_t target) {
    hwy::SetSupportedTargetsForTest(target);
}

} // namespace veldrin
