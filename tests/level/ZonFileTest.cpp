#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "level/ZonFile.h"

using namespace veldrin;

namespace {

const char* const kMapZon =
    "# map zones\r\n"
    "zone\r\n"
    "# name, type, min x, min y, min z, max x, max y, max z, island\r\n"
    "PORT_W, 0, -100.0, -200.0, -50.0, 100.0, 200.0, 50.0, 1\r\n"
    "\r\n"
    "HARWOOD, 3, 0, 0, 0, 1e3, 1000, 1000, 0\r\n"
    "end\r\n"
    "BETWEEN, 0, 0, 0, 0, 1, 1, 1, 9\r\n"
    "  zone  \r\n"
    "   \r\n"
    "SHORESIDE_VALE_NORTH_RIDGE_X, 0, -1.5, -2.5, -3.5, 1.5, 2.5, 3.5, 2\r\n";

std::string errorOf(const std::string& text) {
    try {
        readZoneTable(text);
    } catch (const VeldrinError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ZonFile, ReadsZoneLinesOfSectionsOnly) {
    const ZoneTable zones = readZoneTable(std::string(kMapZon));
    ASSERT_EQ(zones.size(), 3u);
    EXPECT_EQ(zones[0].name, "PORT_W");
    EXPECT_EQ(zones[0].island, 1);
    EXPECT_EQ(zones[0].min, (std::array<float, 3>{-100, -200, -50}));
    EXPECT_EQ(zones[0].max, (std::array<float, 3>{100, 200, 50}));
    EXPECT_EQ(zones[1].name, "HARWOOD");
    EXPECT_EQ(zones[1].max[0], 1000.0f);
    EXPECT_EQ(zones[1].island, 0);
    // Reopened by a "zone" line with blanks around it and closed by the end of the file; the
    // name is cut to 24 characters.
    EXPECT_EQ(zones[2].name, "SHORESIDE_VALE_NORTH_RID");
    EXPECT_EQ(zones[2].min, (std::array<float, 3>{-1.5f, -2.5f, -3.5f}));
    EXPECT_EQ(zones[2].island, 2);
}

TEST(ZonFile, BytesAndTextReadAlike) {
    const std::string text = "zone\nA, 0, 0, 0, 0, 1, 1, 1, 255\nend";
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    const ZoneTable zones = readZoneTable(bytes);
    ASSERT_EQ(zones.size(), 1u);
    EXPECT_EQ(zones[0].island, 255);
    EXPECT_EQ(zones[0].name, "A");
    EXPECT_TRUE(readZoneTable(std::string("end\nzone\nend\n")).empty());
}

TEST(ZonFile, FieldsWithoutBlankAfterTheCommaKeepEveryCharacter) {
    const ZoneTable zones = readZoneTable(std::string("zone\nB,0,12.5,-7,3,40,50,60,4\nend\n"));
    ASSERT_EQ(zones.size(), 1u);
    EXPECT_EQ(zones[0].min, (std::array<float, 3>{12.5f, -7, 3}));
    EXPECT_EQ(zones[0].max, (std::array<float, 3>{40, 50, 60}));
    EXPECT_EQ(zones[0].island, 4);
}

TEST(ZonFile, MalformedLinesAreRefusedNamingTheLine) {
    EXPECT_NE(errorOf("zone\nA, 0, 0, 0, 0, 1, 1, 1, 0\nB, 0, 0, 0, 0, 1, 1, 1, 256\n").find("MAP.ZON line 3"),
              std::string::npos);
    EXPECT_NE(errorOf("zone\nA, 0, 0, 0, 0, 1, 1, 1, -1\n").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("zone\nA, 0, 0, 0, 0, 1, 1, 1, 1.5\n").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("zone\n\nA, 0, x, 0, 0, 1, 1, 1, 0\n").find("line 3: \"x\""), std::string::npos);
    EXPECT_NE(errorOf("zone\nA, 0, 0, 0, 0, 1, 1, 1\n").find("found 8"), std::string::npos);
    EXPECT_NE(errorOf("zone\nA, 0, 0, 0, 0, 1, 1, 1, 0, 0\n").find("found 10"), std::string::npos);
    EXPECT_NE(errorOf("zone\nA, 0, 0, 0, 1e40, 1, 1, 1, 0\n").find("1e40"), std::string::npos);
    EXPECT_NE(errorOf("zone\nA, 0, nan, 0, 0, 1, 1, 1, 0\n").find("nan"), std::string::npos);
    // Lines outside sections are not read at all.
    EXPECT_EQ(errorOf("garbage, 1\nend\nmore garbage\n"), "");
}

TEST(CheckIpl, PointMustLieStrictlyInsideAZoneOfTheIsland) {
    ZoneTable zones;
    zones.push_back(ZoneEntry{0, "A", {0, 0, 0}, {10, 10, 10}});
    zones.push_back(ZoneEntry{2, "B", {100, 100, 100}, {200, 200, 200}});
    zones.push_back(ZoneEntry{0, "C", {-50, -50, -50}, {-40, -40, -40}});
    EXPECT_TRUE(isInsideIsland(zones, 0, 5, 5, 5));
    EXPECT_TRUE(isInsideIsland(zones, 0, -45, -45, -45));
    EXPECT_FALSE(isInsideIsland(zones, 0, 0, 5, 5));  // on the minimum bound
    EXPECT_FALSE(isInsideIsland(zones, 0, 5, 10, 5)); // on the maximum bound
    EXPECT_FALSE(isInsideIsland(zones, 0, 5, 5, 11));
    // Zones of island 2 do not count for island 0, and the other way round.
    EXPECT_FALSE(isInsideIsland(zones, 0, 150, 150, 150));
    EXPECT_TRUE(isInsideIsland(zones, 2, 150, 150, 150));
    EXPECT_FALSE(isInsideIsland(zones, 2, 5, 5, 5));
    EXPECT_FALSE(isInsideIsland(zones, -1, 5, 5, 5));
    EXPECT_FALSE(isInsideIsland(ZoneTable{}, 0, 5, 5, 5));
}
