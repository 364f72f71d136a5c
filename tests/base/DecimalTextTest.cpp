#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/DecimalText.h"

using namespace veldrin;

// Exact ties (values with a short binary fraction) must go away from zero whatever the digit count,
// the magnitude or the sign; values a hair off a tie must not be mistaken for one.
TEST(DecimalText, ExactTiesGoAwayFromZeroAndNearTiesDoNot) {
    struct Case {
        double value;
        int digits;
        const char* general;
    };
    const Case cases[] = {
        {0.125, 2, "0.13"},                       // last kept digit even
        {0.375, 2, "0.38"},                       // last kept digit odd
        {-0.125, 2, "-0.13"},
        {std::ldexp(1.0, -10), 6, "0.000976563"}, // 0.0009765625
        {std::ldexp(1.0, -20), 13, "9.536743164063E-07"},
        {2.5e20, 1, "3E20"},                       // 25 x 10^19 is exact
        {std::ldexp(1.0, 56), 16, "7.205759403792794E16"}, // 72057594037927936
        {std::ldexp(1.0, 56), 17, "72057594037927936"},
        {0.95, 1, "0.9"},                          // 0.9499999999999999555...
        {std::nextafter(0.125, 1.0), 2, "0.13"},
        {std::nextafter(0.125, 0.0), 2, "0.12"},
        {9.5, 1, "1E01"},                          // the tie carries into a new digit
        {std::numeric_limits<double>::denorm_min(), 8, "4.9406565E-324"},
        // More digits than a double carries: rounded on the exact expansion.
        {0.1, 20, "0.10000000000000000555"},
        {std::ldexp(1.0, -30), 30, "9.31322574615478515625E-10"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatGeneral(c.value, c.digits, 2), c.general) << c.value << " at " << c.digits << " digits";
    }
}

TEST(DecimalText, FixedNotationRoundsTwiceAndAppendsToText) {
    struct Case {
        double value;
        int significant, decimals;
        const char* fixed;
    };
    const Case cases[] = {
        {1523.0625, 8, 3, "1523.063"},   // tie at the decimals
        {1523.0625, 7, 3, "1523.063"},   // tie at the significant digits, then none
        {0.0005, 8, 3, "0.001"},
        {-0.0004, 8, 3, "0.000"},
        {999.9995, 8, 3, "1000.000"},    // 999.99950000000001182...
        {5.5, 0, 3, "1E01"},             // no digit kept: only the carry survives
        {0.4, 0, 3, "0E00"},
        {123456.789, 20, 1, "123456.8"}, // the exact expansion carries 123456.789000000004...
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatFixed(c.value, c.significant, c.decimals, 2), c.fixed) << c.value;
    }
    std::string text = "x=";
    appendFixed(text, -2.5, 8, 3, 2);
    text += ", ";
    appendGeneral(text, 1.5e-6, 7, 2);
    EXPECT_EQ(text, "x=-2.500, 1.5E-06");
}
