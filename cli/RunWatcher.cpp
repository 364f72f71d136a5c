#include "cli/RunWatcher.h"

#include "cli/Interrupt.h"

namespace veldrin::cli {

RunCallbacks RunWatcher::callbacks() {
    RunCallbacks cb;
    cb.status = [this](const std::string& text) {
        if (text != kAllDoneMessage) progress.status(text);
    };
    cb.progress = [this](int position, int maximum) { progress.progress(position, maximum); };
    cb.warning = [this](WarningKind kind, const std::string& text) {
        warnings.push_back({kind, text});
        progress.warning(text);
    };
    cb.stopRequested = [] { return InterruptGuard::requested(); };
    cb.edition = [this](GameVersion edition, bool detected) {
        editionLine = "Edition: " + editionTitle(edition) + (detected ? " (detected)" : "");
    };
    return cb;
}

} // namespace veldrin::cli
