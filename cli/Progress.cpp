#include "cli/Progress.h"

#include <unistd.h>

namespace veldrin::cli {

TerminalProgress::TerminalProgress(std::FILE* out) : out_(out), live_(::isatty(::fileno(out)) == 1) {}

void TerminalProgress::status(const std::string& text) {
    status_ = text;
    if (live_) {
        redraw();
    } else {
        std::fprintf(out_, "%s\n", text.c_str());
    }
}

void TerminalProgress::progress(int position, int maximum) {
    position_ = position;
    maximum_ = maximum;
    if (live_) redraw();
}

void TerminalProgress::warning(const std::string& text) {
    finish();
    std::fprintf(out_, "warning: %s\n", text.c_str());
}

void TerminalProgress::redraw() {
    constexpr int kWidth = 30;
    const int filled = maximum_ > 0 ? static_cast<int>(static_cast<long long>(position_) * kWidth / maximum_) : 0;
    const int percent = maximum_ > 0 ? static_cast<int>(static_cast<long long>(position_) * 100 / maximum_) : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(out_, "\r\033[K[%s] %3d%% %s", bar.c_str(), percent, status_.c_str());
    std::fflush(out_);
    lineOpen_ = true;
}

void TerminalProgress::finish() {
    if (lineOpen_) {
        std::fprintf(out_, "\n");
        lineOpen_ = false;
    }
}

} // namespace veldrin::cli
