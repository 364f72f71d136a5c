#include <gtest/gtest.h>

#include <cstdio>

#include "cli/Progress.h"

using veldrin::cli::TerminalProgress;
using veldrin::cli::Verbosity;

TEST(Progress, LiveLineShowsWorkDoneAndTimeWithinTheWidth) {
    struct Case {
        int position, maximum;
        double seconds;
        int columns;
        const char* expected;
    };
    const Case cases[] = {
        {0, 10, 0, 80, "[..............................]   0% 0:00 Loading"},
        {5, 10, 7.9, 80, "[###############...............]  50% 0:07 Loading"},
        {10, 10, 125, 80, "[##############################] 100% 2:05 Loading"},
        {12, 10, 0, 80, "[##############################] 100% 0:00 Loading"}, // past the end stays full
        {3, 0, 0, 80, "[..............................]   0% 0:00 Loading"},   // nothing to count yet
        {5, 10, 0, 40, "[###############...............]  50% 0"},               // cut, last column free
    };
    for (const Case& c : cases) {
        const std::string line = TerminalProgress::liveLine(c.position, c.maximum, c.seconds, "Loading", c.columns);
        EXPECT_EQ(line, c.expected) << c.position << "/" << c.maximum;
        EXPECT_LT(line.size(), static_cast<std::size_t>(c.columns));
    }
}

TEST(Progress, PipedOutputPrintsEachStepOnceAndModelsOnlyWhenVerbose) {
    const std::vector<std::string> statuses{"Loading a.lvz", "Loading database...", "Processing m1.dff",
                                            "Processing m2.dff", "Building a.txd", "Building a.ipl"};
    struct Case {
        Verbosity verbosity;
        const char* expected;
    };
    const Case cases[] = {
        {Verbosity::Quiet, ""},
        {Verbosity::Normal,
         "Loading a.lvz\nLoading database...\nConverting models...\nBuilding a.txd\nBuilding a.ipl\nwarning: w\n"},
        {Verbosity::Verbose, "Loading a.lvz\nLoading database...\nProcessing m1.dff\nProcessing m2.dff\nBuilding "
                             "a.txd\nBuilding a.ipl\nwarning: w\n"},
    };
    for (const Case& c : cases) {
        char* text = nullptr;
        std::size_t size = 0;
        std::FILE* out = open_memstream(&text, &size);
        {
            TerminalProgress p(out, c.verbosity, false, 80);
            for (const std::string& s : statuses) {
                p.status(s);
                p.progress(1, 2);
            }
            p.warning("w");
        }
        std::fclose(out);
        EXPECT_EQ(std::string(text, size), c.expected);
        std::free(text);
    }
}
