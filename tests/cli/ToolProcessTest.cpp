#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

#include "base/FileIO.h"
#include "support/TempFolder.h"
#include "tools/VcPatch.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

Ran runCli(const std::string& args, const std::filesystem::path& errFile) {
    Ran r;
    const std::string command = std::string(VELDRIN_CLI_PATH) + " " + args + " 2>" + errFile.string();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const auto err = readWholeFile(errFile);
    r.err.assign(err.begin(), err.end());
    return r;
}

} // namespace

TEST(ToolProcess, PatchVcReportsEachStateWithItsExitCode) {
    TempFolder dir("veldrin-cli");
    std::vector<uint8_t> exe(kVc10CullModeOffsets[0] + 16, 0x90);
    for (int64_t at : kVc10CullModeOffsets) exe[static_cast<std::size_t>(at)] = kCullBackFaces;
    const auto path = dir / "gta-vc.exe";
    writeWholeFile(path, exe);
    Ran r = runCli("patch-vc " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "GTA VC V1.0 executable patched successfully!\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "gta-vc.exe.bak"));
    r = runCli("patch-vc " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Seems this exe has been already patched...\n");

    writeWholeFile(dir / "other.exe", std::string("MZ not the game"));
    r = runCli("patch-vc " + (dir / "other.exe").string(), dir / "err");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid executable.\n");
    EXPECT_EQ(runCli("patch-vc", dir / "err").status, 2);
}

TEST(ToolProcess, DumpRefusesBadInputAndBadUsage) {
    TempFolder dir("veldrin-cli");
    writeWholeFile(dir / "short.dat", std::string("GATG"));
    const Ran r = runCli("dump " + (dir / "short.dat").string() + " --out " + (dir / "out").string(), dir / "err");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "lcs.ide"));
    EXPECT_EQ(runCli("dump " + (dir / "short.dat").string() + " --id-offset x", dir / "err").status, 2);
    EXPECT_EQ(runCli("dump", dir / "err").status, 2);
}
