#include <gtest/gtest.h>

#include "cli/Terminal.h"

using namespace veldrin::cli;

TEST(Terminal, LongHelpLinesWrapUnderTheirColumn) {
    struct Case {
        std::string line;
        int width;
        std::string wrapped;
    };
    const Case cases[] = {
        {"  --out DIR     write into DIR", 80, "  --out DIR     write into DIR"},
        // Two columns: the description goes on under itself.
        {"  --out DIR     write the folder into DIR (default here)", 40,
         "  --out DIR     write the folder into\n                DIR (default here)"},
        // Prose goes on at the margin, an indented example further in.
        {"Run this for the options of a command.", 20, "Run this for the\noptions of a\ncommand."},
        {"  veldrin-cli convert A.lvz --img", 20, "  veldrin-cli\n      convert A.lvz\n      --img"},
        // A word wider than the line stays whole.
        {"abcdefghijklmnopqrstuvwxyz end", 10, "abcdefghijklmnopqrstuvwxyz\nend"},
    };
    for (const Case& c : cases) EXPECT_EQ(wrapToWidth(c.line + "\n", c.width), c.wrapped + "\n") << c.line;
}
