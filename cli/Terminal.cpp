#include "cli/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace veldrin::cli {

namespace {

// Where a wrapped line continues: under the description of a two-column line, else four past its indent.
// (`indent` is npos only for a blank line, which is never wider than a line.)
std::size_t continuationIndent(const std::string& line, int width) {
    const std::size_t indent = line.find_first_not_of(' ');
    const std::size_t gap = line.find("  ", indent);
    if (gap != std::string::npos) {
        const std::size_t description = line.find_first_not_of(' ', gap);
        // A description column too far right to hold a few words wraps under the indent instead.
        if (description != std::string::npos && static_cast<int>(description) + 24 <= width) return description;
    }
    return indent == 0 ? 0 : indent + 4; // prose goes on at the margin; an indented example, further in
}

void wrapLine(const std::string& line, int width, std::string& out) {
    if (static_cast<int>(line.size()) <= width) {
        out += line;
        return;
    }
    const std::string pad(continuationIndent(line, width), ' ');
    std::string current; // the output line being filled: its blanks as written, words whole
    bool holdsWord = false;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t wordStart = line.find_first_not_of(' ', at);
        if (wordStart == std::string::npos) break;
        std::size_t wordEnd = line.find(' ', wordStart);
        if (wordEnd == std::string::npos) wordEnd = line.size();
        const std::string blanks = line.substr(at, wordStart - at), word = line.substr(wordStart, wordEnd - wordStart);
        if (holdsWord && static_cast<int>(current.size() + blanks.size() + word.size()) > width) {
            out += current + "\n";
            current = pad + word;
        } else {
            current += blanks + word;
        }
        holdsWord = true;
        at = wordEnd;
    }
    out += current;
}

} // namespace

int terminalColumns(std::FILE* out) {
    winsize size{};
    if (::isatty(::fileno(out)) == 1 && ::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

std::string wrapToWidth(const std::string& text, int width) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        wrapLine(text.substr(start, end - start), width, out);
        if (newline != std::string::npos) out += "\n";
        start = end + 1;
    }
    return out;
}

} // namespace veldrin::cli
