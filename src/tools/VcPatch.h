#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace veldrin {

// Backface culling in the PC executable of GTA Vice City: four one-byte cull modes, 2 (cull back
// faces) in a shipped executable, 1 (no culling) once patched. Releases 1.0 and 1.1 hold them at
// different places.
enum class VcExeState { Invalid, V10Unpatched, V10Patched, V11Unpatched, V11Patched };

inline constexpr std::array<int64_t, 4> kVc10CullModeOffsets{0xC9D99, 0xC9B5D, 0xC9B08, 0xC9A5F};
inline constexpr std::array<int64_t, 4> kVc11CullModeOffsets{0xC9DB9, 0xC9B7D, 0xC9B28, 0xC9A7F};
inline constexpr uint8_t kCullBackFaces = 2;
inline constexpr uint8_t kCullNone = 1;

// Release 1.0 is tried first; release 1.1 only when the 1.0 bytes are neither all 2 nor all 1.
// A file too short to hold a release's four bytes is never that release; any mixture is invalid.
// Safe for any input: it reads those eight bytes and nothing else.
VcExeState detectVcExeState(std::span<const uint8_t> exe);

bool isUnpatched(VcExeState state);

struct VcPatchResult {
    VcExeState state = VcExeState::Invalid;
    std::vector<uint8_t> patched; // the whole patched file; empty unless `state` is unpatched
};

// Detects the state and, for an unpatched executable, returns a copy with its four bytes set to 1.
VcPatchResult patchVcBackfaceCulling(std::span<const uint8_t> exe);

// The message shown for each outcome: "GTA VC V1.0 executable patched successfully!" (or V1.1) after
// patching, "Seems this exe has been already patched..." and "Invalid executable.".
std::string_view vcPatchMessage(VcExeState state);

// Why an executable is invalid, said after "Invalid executable." by the command line: the releases
// that can be patched.
inline constexpr std::string_view kVcSupportedReleases =
    "only the PC executable of GTA Vice City, release 1.0 or 1.1, can be patched; this file does not hold the "
    "cull modes of either release where they lie";

} // namespace veldrin
