// One model's geometry in any edition, converted for any target with every option.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "model/ModelConverter.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (256 << 10)) return 0;
    fuzz::FuzzInput in(data, size);
    const uint8_t options = in.byte();
    ModelParams params;
    params.edition = fuzz::editionOf(options);
    params.target = fuzz::targetOf(options >> 2);
    params.optimiseMesh = options & 0x10;
    params.nightPrelit = options & 0x20;
    params.modelName = "model";
    params.texturePrefix = "tex";
    params.dayMinimum = in.byte();
    params.nightMinimum = in.byte();
    const int64_t firstPart = in.u32();
    const int64_t secondPart = in.u32();
    const std::vector<uint8_t> level = in.rest();
    fuzz::refusalsAreFine([&] { readModelTextureIds(level, firstPart, secondPart, params.edition); });
    fuzz::refusalsAreFine([&] { convertModel(level, firstPart, secondPart, params); });
    return 0;
}
