#include <gtest/gtest.h>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/CollisionBuilder.h"
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
    // --help and --dry-run never write.
    Ran r = runWithErr("patch-vc --help " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    r = runWithErr("patch-vc --dry-run " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Would patch " + path.string() + " (V1.0) and keep the original as " + path.string() + ".bak\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "gta-vc.exe.bak"));
    EXPECT_EQ(readWholeFile(path), exe);

    r = runWithErr("patch-vc " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "GTA VC V1.0 executable patched successfully!\nOriginal kept as " + path.string() + ".bak\n");
    EXPECT_EQ(readWholeFile(dir / "gta-vc.exe.bak"), exe);
    r = runWithErr("patch-vc " + path.string(), dir / "err");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Seems this exe has been already patched...\n");

    writeWholeFile(dir / "other.exe", std::string("MZ not the game"));
    r = runWithErr("patch-vc " + (dir / "other.exe").string(), dir / "err");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, (dir / "other.exe").string() + ": Invalid executable. (" + std::string(kVcSupportedReleases) + ")\n");
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

TEST(ToolProcess, DumpReadsTheStoredGameDataAsWellAsTheInflatedData) {
    TempFolder dir("veldrin-cli");
    TestDtz dtz;
    dtz.modelCount = 4;
    TestDtzInstance inst;
    inst.model = 2;
    inst.position = {10, 20, 30};
    dtz.buildings.instances = {inst, inst};
    writeWholeFile(dir / "GAME.DTZ", buildDtz(dtz, StoriesEdition::LCS));
    writeWholeFile(dir / "GAME.DAT", buildDtzData(dtz, StoriesEdition::LCS));
    for (const char* input : {"GAME.DTZ", "GAME.DAT"}) {
        const Ran r = runWithErr("dump " + (dir / input).string() + " -o " + (dir / input).string() + ".out", dir / "err");
        EXPECT_EQ(r.status, 0) << input << ": " << r.err;
        EXPECT_EQ(r.out.rfind("Wrote 2 placement(s) of 1 model(s)", 0), 0u) << r.out;
    }
    EXPECT_EQ(readWholeFile(dir / "GAME.DTZ.out" / "lcs.ipl"), readWholeFile(dir / "GAME.DAT.out" / "lcs.ipl"));

    // A damaged stream is named by its own file name.
    auto damaged = buildDtz(dtz, StoriesEdition::LCS);
    damaged.resize(damaged.size() / 2);
    writeWholeFile(dir / "rnd.DTZ", damaged);
    const Ran r = runWithErr("dump " + (dir / "rnd.DTZ").string() + " -o " + (dir / "bad").string(), dir / "err");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("rnd.DTZ ", 0), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "bad"));
}
