#pragma once
#include <filesystem>
#include <string>

namespace veldrin::test {

// One run of the veldrin-cli binary under test.
struct CliRun {
    int status = -1;
    std::string out; // standard output, with standard error too unless it goes to a file
};

// Runs veldrin-cli with `args` (a shell word list). Standard error joins `out`, or goes to `errFile`.
CliRun runCli(const std::string& args, const std::filesystem::path& errFile = {});
// The same for another program of the build (a shell command's first words).
CliRun runProgram(const std::string& program, const std::string& args, const std::filesystem::path& errFile = {});

std::string lastLine(const std::string& text);

} // namespace veldrin::test
