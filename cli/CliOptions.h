#pragma once
#include <string>
#include <vector>

#include "app/ConversionOptions.h"

namespace veldrin::cli {

enum class CommandKind { Convert, Info, Help };

struct CliCommand {
    CommandKind kind = CommandKind::Help;
    ConversionOptions options; // convert: the run's options; info: paths and edition
};

// Parses the arguments after the program name. Throws UsageError for bad usage, VeldrinError for a
// map offset that is not a number (a refused run, as the window refuses it).
CliCommand parseCommandLine(const std::vector<std::string>& args, int defaultJobs);

struct UsageError {
    std::string message;
};

extern const char* const kUsage;

} // namespace veldrin::cli
