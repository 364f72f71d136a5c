#include "tools/VcPatch.h"

#include <algorithm>

namespace veldrin {

namespace {

// True when the file holds all four locations and each of them holds `value`.
bool allLocationsHold(std::span<const uint8_t> exe, const std::array<int64_t, 4>& offsets, uint8_t value) {
    return std::all_of(offsets.begin(), offsets.end(), [&](int64_t offset) {
        return offset < static_cast<int64_t>(exe.size()) && exe[static_cast<std::size_t>(offset)] == value;
    });
}

const std::array<int64_t, 4>& offsetsOf(VcExeState state) {
    return state == VcExeState::V10Unpatched || state == VcExeState::V10Patched ? kVc10CullModeOffsets
                                                                                : kVc11CullModeOffsets;
}

} // namespace

VcExeState detectVcExeState(std::span<const uint8_t> exe) {
    if (allLocationsHold(exe, kVc10CullModeOffsets, kCullBackFaces)) return VcExeState::V10Unpatched;
    if (allLocationsHold(exe, kVc10CullModeOffsets, kCullNone)) return VcExeState::V10Patched;
    if (allLocationsHold(exe, kVc11CullModeOffsets, kCullBackFaces)) return VcExeState::V11Unpatched;
    if (allLocationsHold(exe, kVc11CullModeOffsets, kCullNone)) return VcExeState::V11Patched;
    return VcExeState::Invalid;
}

bool isUnpatched(VcExeState state) { return state == VcExeState::V10Unpatched || state == VcExeState::V11Unpatched; }

VcPatchResult patchVcBackfaceCulling(std::span<const uint8_t> exe) {
    VcPatchResult result;
    result.state = detectVcExeState(exe);
    if (!isUnpatched(result.state)) return result;
    result.patched.assign(exe.begin(), exe.end());
    for (int64_t offset : offsetsOf(result.state)) result.patched[static_cast<std::size_t>(offset)] = kCullNone;
    return result;
}

std::string_view vcPatchMessage(VcExeState state) {
    switch (state) {
    case VcExeState::V10Unpatched: return "GTA VC V1.0 executable patched successfully!";
    case VcExeState::V11Unpatched: return "GTA VC V1.1 executable patched successfully!";
    case VcExeState::V10Patched:
    case VcExeState::V11Patched: return "Seems this exe has been already patched...";
    case VcExeState::Invalid: break;
    }
    return "Invalid executable.";
}

} // namespace veldrin
