#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "base/Error.h"
#include "base/FileIO.h"
#include "support/TempFolder.h"

using namespace veldrin;
namespace fs = std::filesystem;

TEST(FileFromSink, WritesPiecesAndSizeFieldsOrLeavesTheOldFile) {
    const std::vector<uint8_t> abc{'a', 'b', 'c'};
    const std::vector<uint8_t> size{9, 9};
    struct Case {
        const char* name;
        std::function<void(ByteSink&)> produce;
        std::vector<uint8_t> expected;
        bool fails = false; // then the old file stays as it was
    };
    const Case cases[] = {
        {"nothing", [](ByteSink&) {}, {}},
        {"pieces", [&](ByteSink& s) { s.write(abc); s.write(abc); }, {'a', 'b', 'c', 'a', 'b', 'c'}},
        {"a field set after its content",
         [&](ByteSink& s) {
             s.write(abc);
             s.write(abc);
             s.overwrite(1, size);
             s.write(std::vector<uint8_t>{static_cast<uint8_t>(s.size())});
         },
         {'a', 9, 9, 'a', 'b', 'c', 6}},
        {"a failing producer", [&](ByteSink& s) { s.write(abc); throw VeldrinError("stop"); }, {}, true},
    };
    for (const Case& c : cases) {
        test::TempFolder dir("veldrin-sink");
        const fs::path file = dir / "out.bin";
        writeWholeFile(file, std::string_view("old"));
        if (c.fails) {
            EXPECT_THROW(writeWholeFileFrom(file, c.produce), VeldrinError) << c.name;
            EXPECT_EQ(readWholeFile(file), (std::vector<uint8_t>{'o', 'l', 'd'})) << c.name;
        } else {
            writeWholeFileFrom(file, c.produce);
            EXPECT_EQ(readWholeFile(file), c.expected) << c.name;
        }
        // Only the file itself: no temporary is left behind either way.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << c.name;
    }
}

// What a killed run left behind goes at the next run; a write still going on in another process stays.
TEST(FileFromSink, TemporariesOfEndedProcessesAreRemoved) {
    veldrin::test::TempFolder dir("veldrin-file");
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string gone = ".CITY.IMG.tmp" + std::to_string(ended);
    const std::string running = ".CITY.IMG.tmp" + std::to_string(::getppid());
    const std::vector<std::string> kept{running, "notes.tmp" + std::to_string(ended), ".x.tmp", "CITY.IMG"};
    for (const std::string& name : kept) writeWholeFile(dir / name, std::string("x"));
    writeWholeFile(dir / gone, std::string("x"));
    removeAbandonedTemporaryFiles(dir.path());
    EXPECT_FALSE(fs::exists(dir / gone));
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(dir / name)) << name;
}
