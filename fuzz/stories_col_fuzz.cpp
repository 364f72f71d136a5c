// One Stories collision model read in either layout and written as a PC record.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "collision/ColWriter.h"
#include "collision/StoriesColReader.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (256 << 10)) return 0;
    fuzz::FuzzInput in(data, size);
    const StoriesEdition edition = (in.byte() & 1) ? StoriesEdition::VCS : StoriesEdition::LCS;
    const int64_t header = in.u32();
    const int64_t sectionBase = in.u32();
    const std::vector<uint8_t> stream = in.rest();
    fuzz::refusalsAreFine([&] { isEmptyColModel(stream, header, edition, "model"); });
    fuzz::refusalsAreFine([&] {
        std::vector<uint8_t> out;
        writeCOL(out, "model", readStoriesColModel(stream, header, sectionBase, edition));
    });
    return 0;
}
