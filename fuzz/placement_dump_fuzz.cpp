// The developer placement dump over uncompressed game data.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "tools/PlacementDump.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (512 << 10)) return 0;
    fuzz::FuzzInput in(data, size);
    PlacementDumpOptions options;
    options.idOffset = static_cast<int32_t>(in.u32());
    options.levelName = "fuzz";
    const std::vector<uint8_t> gameData = in.rest();
    fuzz::refusalsAreFine([&] { dumpPlacements(gameData, options); });
    return 0;
}
