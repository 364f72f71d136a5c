// Texture records of any edition decoded and encoded for any target, two records to a dictionary so
// that a record named twice takes the shared path.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "texture/MipMapRule.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (512 << 10)) return 0;
    fuzz::FuzzInput in(data, size);
    const uint8_t options = in.byte();
    TxdParams params;
    params.edition = fuzz::editionOf(options);
    params.target = fuzz::targetOf(options >> 2);
    params.genMipMaps = options & 0x10;
    params.mipSizeThreshold = kMipMapThresholds[(options >> 5) % 5];
    params.texturePrefix = "tex";
    std::vector<TextureRef> refs;
    for (int i = 0; i < 2; ++i) {
        const int64_t position = in.u32();
        const int64_t base = in.u32();
        refs.push_back(TextureRef{i, position, base});
    }
    const std::vector<uint8_t> level = in.rest();
    fuzz::refusalsAreFine([&] { makeTxd(level, refs, params); });
    return 0;
}
