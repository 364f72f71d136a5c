#include <string>
#include <vector>

#include "cli/CommandLine.h"

int main(int argc, char** argv) { return veldrin::cli::runCommandLine({argv + 1, argv + argc}); }
