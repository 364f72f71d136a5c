#pragma once
#include <cstdio>
#include <string>

namespace veldrin::cli {

// Status texts on standard error: one line each, or a live bar redrawn in place on a terminal.
class TerminalProgress {
public:
    explicit TerminalProgress(std::FILE* out);
    ~TerminalProgress() { finish(); }
    void status(const std::string& text);
    void progress(int position, int maximum);
    void warning(const std::string& text);
    void finish(); // ends a live line

private:
    void redraw();
    std::FILE* out_;
    bool live_;
    bool lineOpen_ = false;
    std::string status_;
    int position_ = 0;
    int maximum_ = 0;
};

} // namespace veldrin::cli
