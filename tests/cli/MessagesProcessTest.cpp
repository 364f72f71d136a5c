#include <gtest/gtest.h>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/CollisionBuilder.h"
#include "support/LevelBuilder.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;

// Where the window shows a fixed text, the command line shows it too and then says which file and why,
// or what to try instead.
TEST(MessagesProcess, RefusalsNameTheFileAndTheReason) {
    TempFolder dir("veldrin-cli");
    const std::string d = dir.path().string() + "/";
    std::vector<uint8_t> world(64, 0);
    world[0] = 'W', world[1] = 'R', world[2] = 'L', world[3] = 'D';
    writeWholeFile(dir / "town.lvz", deflateBytes(world));
    writeWholeFile(dir / "town.IMG", std::string("img"));
    writeWholeFile(dir / "GAME.DTZ", deflateBytes(std::vector<uint8_t>{'G', 'T', 'A', 'X', 0, 0, 0, 0}));
    writeWholeFile(dir / "GAME.IMG", buildColImg({}));
    TestColModel model = boxModel(3); // enough of each section that the other game's header misleads
    model.spheres.resize(3);
    model.boxes.resize(4);
    model.vertices.resize(40);
    model.faces.resize(30);
    writeWholeFile(dir / "vcs.col2", buildCol2({{0, model}, {1, model}}, StoriesEdition::VCS));
    writeWholeFile(dir / "none.col2", std::string("not a collision file at all"));
    writeWholeFile(dir / "other.exe", std::string("MZ not the game"));
    struct Case {
        std::string args;
        std::string message; // the last line of the output
    };
    const Case cases[] = {
        {"convert " + d + "town.lvz -o " + d + "out",
         "town.lvz: This is incorrect LVZ file! Choose another one... (its inflated data opens with \"WRLD\", not the "
         "\"DLRW\" of a Stories level's world; pick the .lvz of a level)"},
        {"colmap " + d + "GAME.DTZ --img " + d + "GAME.IMG -o " + d + "out",
         "Invalid DTZ file (GAME.DTZ inflates to data opening with \"GTAX\", not the \"GATG\" of a Stories game's GAME.DTZ)"},
        {"col2 " + d + "none.col2 -o " + d + "out.col",
         d + "none.col2: Invalid COL2 file (it opens with \"not \", not the \"2loc\" of a COL2 file)"},
        {"patch-vc " + d + "other.exe",
         d + "other.exe: Invalid executable. (only the PC executable of GTA Vice City, release 1.0 or 1.1, can be patched; "
             "this file does not hold the cull modes of either release where they lie)"},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.status, 1) << c.args << "\n" << r.out;
        EXPECT_EQ(lastLine(r.out), c.message) << c.args;
    }
    // A file of the other game read as the default one fails on an offset; the message says what to try.
    CliRun r = runCli("col2 " + d + "vcs.col2 -o " + d + "out.col");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(lastLine(r.out).rfind(d + "vcs.col2: ", 0), 0u) << r.out;
    EXPECT_TRUE(lastLine(r.out).ends_with("; the file reads as vcs: try --edition vcs")) << r.out;
    EXPECT_EQ(runCli("col2 " + d + "vcs.col2 --edition vcs -o " + d + "out.col").status, 0);
}

TEST(MessagesProcess, BareCommandLineIsAUsageErrorAndTheHelpFitsEightyColumns) {
    TempFolder dir("veldrin-cli");
    CliRun r = runCli("", dir / "err");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty()) << r.out; // the help goes to standard error
    const auto err = readWholeFile(dir / "err");
    EXPECT_NE(std::string(err.begin(), err.end()).find("Subcommands:"), std::string::npos);

    EXPECT_EQ(runCli("--version").out, std::string("veldrin-cli ") + VELDRIN_VERSION + " (Veldrin v" + VELDRIN_VERSION + ")\n");
    r = runCli("help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Subcommands:"), std::string::npos) << r.out; // the program's help, not help's own
    // Not a terminal: every help line fits 80 columns.
    for (const char* args : {"--help", "convert --help", "info --help", "colmap --help", "col2 --help", "patch-vc --help",
                             "dump --help", "inspect --help"}) {
        r = runCli(args);
        EXPECT_EQ(r.status, 0) << args;
        std::size_t start = 0;
        while (start < r.out.size()) {
            const std::size_t end = r.out.find('\n', start);
            const std::string line = r.out.substr(start, end - start);
            EXPECT_LE(line.size(), 80u) << args << ": " << line;
            start = end == std::string::npos ? r.out.size() : end + 1;
        }
    }
}
