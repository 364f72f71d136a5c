#include "tools/VcPatchFile.h"

#include <system_error>

#include "base/Error.h"
#include "base/FileIO.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

fs::perms writablePermissions(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) throw VeldrinError("Cannot read the attributes of \"" + path.string() + "\". " + ec.message());
    return status.permissions() | fs::perms::owner_write;
}

void setPermissions(const fs::path& path, fs::perms perms) {
    std::error_code ec;
    fs::permissions(path, perms, fs::perm_options::replace, ec);
    if (ec) throw VeldrinError("Cannot make \"" + path.string() + "\" writable. " + ec.message());
}

} // namespace

VcPatchOutcome patchVcExecutableFile(const fs::path& exePath) {
    const std::vector<uint8_t> original = readWholeFile(exePath);
    const VcPatchResult result = patchVcBackfaceCulling(original);

    VcPatchOutcome outcome;
    outcome.state = result.state;
    outcome.message = std::string(vcPatchMessage(result.state));
    outcome.backupPath = fs::path(exePath.string() + ".bak");
    if (!isUnpatched(result.state)) return outcome;

    // The backup holds the very bytes that were found unpatched; one left by an earlier run may be
    // the only copy of an older original, so it is never replaced.
    std::error_code ec;
    if (!fs::exists(outcome.backupPath, ec)) {
        if (ec) throw VeldrinError("Cannot check \"" + outcome.backupPath.string() + "\". " + ec.message());
        writeWholeFile(outcome.backupPath, original);
        outcome.backupWritten = true;
    }

    // Through a link, the file it points to is patched and the link stays a link.
    const fs::path target = fs::is_symlink(exePath, ec) ? fs::canonical(exePath, ec) : exePath;
    if (ec) throw VeldrinError("Cannot follow the link \"" + exePath.string() + "\". " + ec.message());
    const fs::perms perms = writablePermissions(target);
    setPermissions(target, perms);
    writeWholeFile(target, result.patched);
    // The replacement is a new file: give it the original's permissions (executable bits included).
    setPermissions(target, perms);
    outcome.written = true;
    return outcome;
}

} // namespace veldrin
