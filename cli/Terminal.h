#pragma once
#include <cstdio>
#include <string>

namespace veldrin::cli {

// The width of the terminal `out` writes to; 80 when it is not a terminal (a pipe, a file).
int terminalColumns(std::FILE* out);

// Rewraps every line wider than `width` at its blanks. A line of the help's two columns ("  --opt X
// description") continues under its description; an indented line four further in; prose at the margin.
// Words wider than a line stay whole.
std::string wrapToWidth(const std::string& text, int width);

} // namespace veldrin::cli
