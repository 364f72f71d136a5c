// A standalone COL2 file converted in either layout.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "collision/ColConv.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (256 << 10)) return 0;
    fuzz::FuzzInput in(data, size);
    const StoriesEdition edition = (in.byte() & 1) ? StoriesEdition::VCS : StoriesEdition::LCS;
    const std::vector<uint8_t> col2 = in.rest();
    fuzz::refusalsAreFine([&] { convertCol2(col2, edition); });
    return 0;
}
