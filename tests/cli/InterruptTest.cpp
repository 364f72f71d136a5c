#include "cli/Interrupt.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

namespace veldrin::test {
namespace {

TEST(Interrupt, EachStopSignalBecomesARequest) {
    for (int signal : {SIGINT, SIGTERM}) {
        cli::InterruptGuard guard;
        EXPECT_FALSE(cli::InterruptGuard::requested());
        std::raise(signal); // the process lives on
        EXPECT_TRUE(cli::InterruptGuard::requested()) << signal;
    }
}

// Starts veldrin-cli with standard error on a pipe; returns its pid and the pipe's reading end.
std::pair<pid_t, FILE*> startCli(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return {-1, nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv{const_cast<char*>(VELDRIN_CLI_PATH)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(VELDRIN_CLI_PATH, argv.data());
        _exit(127);
    }
    close(fds[1]);
    return {pid, fdopen(fds[0], "r")};
}

TEST(Interrupt, AStoppedRunWritesNoIndexOfModelsNeverWritten) {
    TempFolder dir("veldrin-interrupt");
    const auto lvz = buildLevel(sampleTown(GameVersion::VcsPs2, cityShape())).write(dir.path(), "city");
    for (int signal : {SIGINT, SIGTERM}) {
        for (const char* mode : {"--ide", "--img"}) {
            SCOPED_TRACE(std::string(mode) + " signal " + std::to_string(signal));
            const std::filesystem::path out = dir / ("out" + std::to_string(signal) + mode);
            auto [pid, err] = startCli({"convert", lvz.string(), "--verbose", "--edition", "vcs-ps2", "--ide", mode, "--jobs", "1",
                                        "--out", out.string()});
            ASSERT_GT(pid, 0);
            ASSERT_NE(err, nullptr);
            std::string text, last;
            char line[4096];
            bool signalled = false;
            while (std::fgets(line, sizeof line, err)) {
                text += line;
                last = line;
                // A few models in: the run is under way and far from its end.
                if (!signalled && text.find("Processing") != std::string::npos && text.size() > 2000) {
                    kill(pid, signal);
                    signalled = true;
                }
            }
            std::fclose(err);
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(signalled) << text.substr(0, 2000);
            ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of stopping";
            EXPECT_EQ(WEXITSTATUS(status), cli::kInterruptedExitCode);
            EXPECT_EQ(last, std::string(cli::kInterruptedMessage) + "\n");
            // Models and dictionaries written before the stop may stay; no index, archive or temporary file.
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator(out / "city", ec)) {
                const std::string ext = e.path().extension().string();
                EXPECT_TRUE(ext == ".dff" || ext == ".TXD") << e.path();
                if (std::string(mode) == "--img") ADD_FAILURE() << "the archive run left " << e.path();
            }
        }
    }
}

} // namespace
} // namespace veldrin::test
