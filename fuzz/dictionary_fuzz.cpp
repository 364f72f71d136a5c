// The texture dictionary reader of the run report, and the texture sheet and its PNG it feeds.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "report/TextureSheet.h"
#include "texture/DictionaryDecoder.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (512 << 10)) return 0;
    const std::vector<uint8_t> txd(data, data + size);
    fuzz::refusalsAreFine([&] {
        const SheetTextures textures{decodeDictionary(txd, "fuzz.txd"), {}};
        const SheetLayout layout = layOutSheet(textures.textures);
        sheetJson(layout.cells);
        sheetPng(textures, layout);
    });
    return 0;
}
