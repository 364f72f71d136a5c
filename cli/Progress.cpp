#include "cli/Progress.h"

#include <algorithm>
#include <unistd.h>

#include "cli/Terminal.h"

namespace veldrin::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(50);

// One line per model is detail; loading, each dictionary, the index files and the archive are steps.
bool isPerModelStatus(const std::string& text) {
    return text.rfind("Processing ", 0) == 0;
}

std::string elapsedText(double seconds) {
    const long total = static_cast<long>(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

} // namespace

TerminalProgress::TerminalProgress(std::FILE* out, Verbosity verbosity)
    : TerminalProgress(out, verbosity, ::isatty(::fileno(out)) == 1, terminalColumns(out)) {}

TerminalProgress::TerminalProgress(std::FILE* out, Verbosity verbosity, bool live, int columns)
    : out_(out), verbosity_(verbosity), live_(live && verbosity != Verbosity::Quiet), columns_(columns),
      start_(std::chrono::steady_clock::now()) {}

void TerminalProgress::status(const std::string& text) {
    status_ = text;
    if (verbosity_ == Verbosity::Quiet) return;
    if (live_) {
        redraw(false);
        return;
    }
    if (isPerModelStatus(text)) {
        if (verbosity_ == Verbosity::Verbose) std::fprintf(out_, "%s\n", text.c_str());
        else if (lastStep_ != "Converting models...") std::fprintf(out_, "%s\n", (lastStep_ = "Converting models...").c_str());
        return;
    }
    if (text == lastStep_) return;
    lastStep_ = text;
    std::fprintf(out_, "%s\n", text.c_str());
}

void TerminalProgress::progress(int position, int maximum) {
    position_ = position;
    maximum_ = maximum;
    if (live_) redraw(position >= maximum);
}

void TerminalProgress::warning(const std::string& text) {
    if (verbosity_ == Verbosity::Quiet) return; // the summary counts them
    finish();
    std::fprintf(out_, "warning: %s\n", text.c_str());
}

std::string TerminalProgress::liveLine(int position, int maximum, double seconds, const std::string& status, int columns) {
    constexpr int kBarWidth = 30;
    const long long done = maximum > 0 ? std::clamp<long long>(position, 0, maximum) : 0;
    const int filled = maximum > 0 ? static_cast<int>(done * kBarWidth / maximum) : 0;
    const int percent = maximum > 0 ? static_cast<int>(done * 100 / maximum) : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    char head[96];
    std::snprintf(head, sizeof head, "[%s] %3d%% %s ", bar.c_str(), percent, elapsedText(seconds).c_str());
    std::string line = head + status;
    // The last column stays free: writing into it makes some terminals wrap.
    const std::size_t width = static_cast<std::size_t>(std::max(columns - 1, 1));
    if (line.size() > width) line.resize(width);
    return line;
}

void TerminalProgress::redraw(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && lineOpen_ && now - lastDraw_ < kRedrawInterval) return;
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(out_, "\r\033[K%s", liveLine(position_, maximum_, seconds, status_, columns_).c_str());
    std::fflush(out_);
    lineOpen_ = true;
}

void TerminalProgress::finish() {
    if (lineOpen_) {
        redraw(true);
        std::fprintf(out_, "\n");
        lineOpen_ = false;
    }
}

} // namespace veldrin::cli
