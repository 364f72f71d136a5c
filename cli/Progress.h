#pragma once
#include <chrono>
#include <cstdio>
#include <string>

namespace veldrin::cli {

// How much a command prints while it works. Quiet: errors, the summary and the last line only.
enum class Verbosity { Quiet, Normal, Verbose };

// Status texts on standard error. On a terminal: one live line with a bar of the work done, the
// elapsed time and the status, cut to the terminal's width and redrawn at most about 20 times a
// second. Otherwise one line per step; the per-item lines ("Processing ...") only when verbose.
class TerminalProgress {
public:
    TerminalProgress(std::FILE* out, Verbosity verbosity = Verbosity::Normal);
    // For tests: the same with the terminal decision and width given.
    TerminalProgress(std::FILE* out, Verbosity verbosity, bool live, int columns);
    ~TerminalProgress() { finish(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void status(const std::string& text);
    void progress(int position, int maximum);
    void warning(const std::string& text);
    void finish(); // ends a live line

    // The live line for a given state: "[####......]  42% 0:07 status", at most `columns` wide.
    static std::string liveLine(int position, int maximum, double seconds, const std::string& status, int columns);

private:
    void redraw(bool force);
    std::FILE* out_;
    Verbosity verbosity_;
    bool live_;
    int columns_;
    bool lineOpen_ = false;
    std::string status_;
    std::string lastStep_; // the last status printed as a line, so repeats are not printed twice
    int position_ = 0;
    int maximum_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_{};
};

} // namespace veldrin::cli
