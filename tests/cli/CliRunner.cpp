#include "CliRunner.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace veldrin::test {

CliRun runCli(const std::string& args, const std::filesystem::path& errFile) { return runProgram(VELDRIN_CLI_PATH, args, errFile); }

CliRun runProgram(const std::string& program, const std::string& args, const std::filesystem::path& errFile) {
    CliRun r;
    const std::string redirect = errFile.empty() ? " 2>&1" : " 2>" + errFile.string();
    FILE* pipe = popen((program + " " + args + redirect).c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

std::string lastLine(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == '\n') t.pop_back();
    return t.substr(t.rfind('\n') + 1);
}

} // namespace veldrin::test
