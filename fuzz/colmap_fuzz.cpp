// The collision map over game data and an archive, with every option. The game data is deflated here
// unless the input says it is a zlib stream already, so the mutations reach the readers behind it.
#include <zlib.h>

#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "collision/ColMapConverter.h"

using namespace veldrin;

namespace {

std::vector<uint8_t> deflated(const std::vector<uint8_t>& raw) {
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(length);
    if (compress2(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 1) != Z_OK) return {};
    out.resize(length);
    out.shrink_to_fit();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (1 << 20)) return 0;
    fuzz::FuzzInput in(data, size);
    const uint8_t options = in.byte();
    ColMapOptions o;
    o.edition = (options & 1) ? StoriesEdition::VCS : StoriesEdition::LCS;
    o.target = fuzz::targetOf(options >> 1);
    o.buildings = options & 0x08;
    o.dynamicObjects = options & 0x10;
    o.treadables = options & 0x20;
    o.idOffset = static_cast<int32_t>(in.u32() & 0x7FFFFFFF);
    std::vector<uint8_t> dtz = in.part();
    if (!(options & 0x40)) dtz = deflated(dtz);
    const std::vector<uint8_t> blankDff = in.part();
    const std::vector<uint8_t> img = in.rest();
    ColMapInputs inputs;
    inputs.dtz = dtz;
    inputs.img = img;
    if (options & 0x80) inputs.blankDff = std::span<const uint8_t>(blankDff);
    fuzz::refusalsAreFine([&] { convertColMap(inputs, o); });
    return 0;
}
