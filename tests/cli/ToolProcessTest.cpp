#include <gtest/gtest.h>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/TempFolder.h"
#include "tools/VcPatch.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {
// Standard output, and standard error read back from its file.
struct Ran {
    int status;
    std::string out;
    std::string err;
};
Ran runWithErr(const std::string& args, const std::filesystem::path& errFile) {
    const CliRun r = runCli(args, errFile);
    const auto err = readWholeFile(errFile);
    return {r.status, r.out, std::string(err.begin(), err.end())};
}
} // namespace

TEST(ToolProcess, PatchVcReportsEachStateWithItsExitCode) {
    TempFolder dir("veldrin-cli");
    std::vector<uint8_t> exe(kVc10CullModeOffsets[0] + 16, 0x90);
    for (int64_t at : kVc10CullModeOffsets) exe[static_cast<std::size_t>(at)] = kCullBackFaces;
    const auto path = dir / "gta-vc.exe";
    writeWholeFile(path, exe);
    Ran r = runWithErr("patch-vc " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "GTA VC V1.0 executable patched successfully!\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "gta-vc.exe.bak"));
    r = runWithErr("patch-vc " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Seems this exe has been already patched...\n");

    writeWholeFile(dir / "other.exe", std::string("MZ not the game"));
    r = runWithErr("patch-vc " + (dir / "other.exe").string(), dir / "err");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid executable.\n");
    EXPECT_EQ(runWithErr("patch-vc", dir / "err").status, 2);
}

TEST(ToolProcess, DumpRefusesBadInputAndBadUsage) {
    TempFolder dir("veldrin-cli");
    writeWholeFile(dir / "short.dat", std::string("GATG"));
    const Ran r = runWithErr("dump " + (dir / "short.dat").string() + " --out " + (dir / "out").string(), dir / "err");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "lcs.ide"));
    EXPECT_EQ(runWithErr("dump " + (dir / "short.dat").string() + " --id-offset x", dir / "err").status, 2);
    EXPECT_EQ(runWithErr("dump", dir / "err").status, 2);
}
