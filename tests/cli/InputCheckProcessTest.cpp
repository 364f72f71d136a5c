#include <gtest/gtest.h>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;

// Every command refuses an input that is missing, a folder or empty: exit 1, a message naming the
// input, nothing written.
TEST(InputCheckProcess, EveryCommandNamesTheInputItRefuses) {
    TempFolder dir("veldrin-cli");
    std::filesystem::create_directory(dir / "GAME.DTZ");
    writeWholeFile(dir / "empty.lvz", std::string());
    writeWholeFile(dir / "empty.IMG", std::string("img"));
    writeWholeFile(dir / "GAME.IMG", std::string("img"));
    writeWholeFile(dir / "town.IMG", std::string("img"));
    const std::string d = dir.path().string() + "/";
    const std::string out = " -o " + d + "out";
    struct Case {
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {"convert " + d + "town.lvz" + out, d + "town.lvz: no such file"},
        {"convert " + d + "empty.lvz" + out, d + "empty.lvz: is empty"},
        {"info " + d + "town.lvz", d + "town.lvz: no such file"},
        {"colmap " + d + "GAME.DTZ --img " + d + "GAME.IMG" + out, d + "GAME.DTZ: is a folder"},
        {"colmap " + d + "rnd.DTZ --img " + d + "GAME.IMG" + out, d + "rnd.DTZ: no such file"},
        {"col2 " + d + "GAME.DTZ -o " + d + "out.col", d + "GAME.DTZ: is a folder"},
        {"col2 " + d + "empty.lvz -o " + d + "out.col", d + "empty.lvz: is empty"},
        {"dump " + d + "GAME.DTZ" + out, d + "GAME.DTZ: is a folder"},
        {"dump " + d + "nothing.dat" + out, d + "nothing.dat: no such file"},
        {"patch-vc " + d + "GAME.DTZ", d + "GAME.DTZ: is a folder"},
        {"patch-vc " + d + "empty.lvz", d + "empty.lvz: is empty"},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.status, 1) << c.args << "\n" << r.out;
        EXPECT_EQ(lastLine(r.out), c.message) << c.args;
        EXPECT_FALSE(std::filesystem::exists(dir / "out")) << c.args;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.col")) << c.args;
    }
}

TEST(InputCheckProcess, HelpAndVersionExitZeroAndUsageErrorsPointAtHelp) {
    for (const char* args : {"--help", "--version", "help", "help dump", "convert --help", "info -h", "colmap --help",
                             "col2 -h", "patch-vc --help", "dump --help"}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_FALSE(r.out.empty()) << args;
    }
    const CliRun r = runCli("convert a.lvz --target n64");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "veldrin-cli: unknown target \"n64\" (gta3, vc or sa)\n"
                     "usage: veldrin-cli convert [OPTIONS]...; see \"veldrin-cli convert --help\"\n");
}
