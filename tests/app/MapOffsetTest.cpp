#include <gtest/gtest.h>

#include "app/options/MapOffset.h"
#include "base/Error.h"

namespace veldrin {
namespace {

TEST(MapOffset, ParsesFiniteNumbersAndRefusesTheFirstBadAxisInEachWindowsWords) {
    EXPECT_EQ(parseMapOffset({"100", " -50.5", "3e2"}, MapOffsetMessages::Conversion),
              (std::array<double, 3>{100.0, -50.5, 300.0}));
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
