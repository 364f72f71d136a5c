#pragma once
#include <filesystem>
#include <string>

#include "tools/VcPatch.h"

namespace veldrin {

struct VcPatchOutcome {
    VcExeState state = VcExeState::Invalid; // the state the file was found in
    bool written = false;                   // the patched executable replaced the file
    bool backupWritten = false;             // "<path>.bak" was created by this call
    std::filesystem::path backupPath;       // "<path>.bak", whether it was created now or kept from before
    std::string message;                    // what to show the user (vcPatchMessage of `state`)
    bool failed() const { return state == VcExeState::Invalid; }
};

// Patches the executable at `exePath` in place. Only an unpatched executable is written: first its
// backup "<path>.bak" (an existing backup is kept as it is), then the file is made writable and the
// patched bytes replace it whole through a temporary file, so a failure never leaves a half-written
// executable; its other permission bits are kept. Patched and invalid files are left untouched.
// Throws VeldrinError when the file cannot be read or written.
VcPatchOutcome patchVcExecutableFile(const std::filesystem::path& exePath);

} // namespace veldrin
