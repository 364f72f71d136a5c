#include <gtest/gtest.h>

#include "app/options/MapOffset.h"
#include "base/Error.h"

namespace veldrin {
namespace {

TEST(MapOffset, ParsesFiniteNumbersAndRefusesTheFirstBadAxisInEachWindowsWords) {
    EXPECT_EQ(parseMapOffset(std::array<std::string, 3>{"100", " -50.5", "3e2"}, MapOffsetMessages::Conversion).xyz,
              (std::array<float, 3>{100.0f, -50.5f, 300.0f}));
    // Held as the float nearest the text, as the placements have always been moved.
    EXPECT_EQ(parseMapOffset("0.1,1e-3,16777217", MapOffsetMessages::Conversion).xyz,
              (std::array<float, 3>{0.1f, 0.001f, 16777216.0f}));
    // The manifest's text reads back to the same floats.
    const MapOffset odd = parseMapOffset("0.1,-1234.567,3.4e38", MapOffsetMessages::Conversion);
    EXPECT_EQ(mapOffsetText(odd), "0.100000001,-1234.56702,3.39999995E38");
    EXPECT_EQ(parseMapOffset(mapOffsetText(odd), MapOffsetMessages::Conversion), odd);
    struct Case {
        std::array<std::string, 3> texts;
        const char* conversion;
        const char* collisionMap;
    };
    const Case cases[] = {
        {{"1,5", "0", "0"}, "Invalid Map XYZ offset (X: \"1,5\"", "Global map offset X error!"},
        {{"0", "inf", "0"}, "Invalid Map XYZ offset (Y: \"inf\"", "Global map offset Y error!"},
        {{"0", "0", "nan"}, "Invalid Map XYZ offset (Z: \"nan\"", "Global map offset Z error!"},
        {{"0", "-INF", "nan"}, "Invalid Map XYZ offset (Y: \"-INF\"", "Global map offset Y error!"},
        {{"", "0", "0"}, "Invalid Map XYZ offset (X: \"\"", "Global map offset X error!"},
        {{"0", "0", "1e39"}, "Invalid Map XYZ offset (Z: \"1e39\"", "Global map offset Z error!"}, // past a float
    };
    for (const Case& c : cases) {
        for (const auto& [messages, expected] : {std::pair{MapOffsetMessages::Conversion, c.conversion},
                                                 std::pair{MapOffsetMessages::CollisionMap, c.collisionMap}}) {
            try {
                parseMapOffset(c.texts, messages);
                ADD_FAILURE() << "accepted " << c.texts[0] << "," << c.texts[1] << "," << c.texts[2];
            } catch (const VeldrinError& e) {
                EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
            }
        }
    }
}

} // namespace
} // namespace veldrin
