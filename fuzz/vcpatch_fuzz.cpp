// The executable patcher's detection and patch. The cull mode bytes lie near 0xC9A00, so the input
// gives the file's length around them and the bytes of both releases' places; the rest is zeros.
#include <cstring>
#include <memory>
#include <span>

#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "tools/VcPatch.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > 64) return 0;
    fuzz::FuzzInput in(data, size);
    const std::size_t length = 0xC9A00 + (in.u32() % 0x800);
    // One block kept between inputs (an executable-sized block made afresh each time was most of the
    // run); the file is its last `length` bytes, so a read past the end still meets the sanitizer.
    constexpr std::size_t kLongest = 0xC9A00 + 0x7FF;
    static const std::unique_ptr<uint8_t[]> block(new uint8_t[kLongest]);
    const std::span<uint8_t> exe(block.get() + (kLongest - length), length);
    std::memset(exe.data(), 0, exe.size());
    for (const auto& offsets : {kVc10CullModeOffsets, kVc11CullModeOffsets}) {
        for (int64_t at : offsets) {
            const uint8_t value = in.byte();
            if (static_cast<std::size_t>(at) < exe.size()) exe[static_cast<std::size_t>(at)] = value;
        }
    }
    const VcPatchResult result = patchVcBackfaceCulling(exe);
    if (isUnpatched(result.state) && result.patched.size() != exe.size()) __builtin_trap();
    if (isUnpatched(result.state) && detectVcExeState(result.patched) == result.state) __builtin_trap();
    vcPatchMessage(result.state);
    return 0;
}
