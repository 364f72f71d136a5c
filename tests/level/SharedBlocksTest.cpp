#include <gtest/gtest.h>

#include <string>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "level/WorldReader.h"
#include "support/LevelBuilder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

// A level whose one described cell (row 3, column 30) holds `records` instances; the first `sharers`
// cells of rows 0 to 2 (31 cells each) are then pointed at that cell's block as well.
BuiltLevel sharedBlockLevel(GameVersion e, int records, int sharers) {
    LevelDescription d;
    d.edition = e;
    d.resourceCount = 4;
    TestCell cell;
    cell.row = 3;
    cell.column = 30;
    for (int i = 0; i < records; ++i) cell.instances.push_back(TestInstance{i, i % 4, i % 4});
    d.cells.push_back(cell);
    for (int r = 0; r < 3; ++r) d.cells.push_back(TestCell{r, 30, false, {}, {}});
    BuiltLevel level = buildLevel(d);
    const ByteReader world(level.world, "world");
    const uint32_t data = world.u32(world.u32(36 + 8 * 3) + 32 * 30 + 24);
    const int64_t firstCell = world.u32(36);
    for (int c = 0; c < sharers; ++c) {
        const int64_t h = firstCell + 32 * c;
        for (int k = 0; k < 4; ++k) level.world[static_cast<std::size_t>(h + 24 + k)] = static_cast<uint8_t>(data >> (8 * k));
    }
    level.lvz = deflateBytes(level.world);
    return level;
}

} // namespace

TEST(WorldReader, BlocksNamedByManyCellsAreReadUpToABoundSetByTheImg) {
    struct Case {
        int records;
        int sharers;
        bool refused;
    };
    // A block that a few cells share reads as before; one that all 93 cells of three rows name would
    // read the IMG about ninety times over, and is refused.
    const Case cases[] = {{200, 0, false}, {200, 3, false}, {1000, 93, true}};
    for (GameVersion e : {GameVersion::LcsPs2, GameVersion::VcsPsp}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(editionName(e)) + " sharers " + std::to_string(c.sharers));
            const BuiltLevel level = sharedBlockLevel(e, c.records, c.sharers);
            try {
                const WorldTables tables = readWorld(level.buffer(), e);
                EXPECT_FALSE(c.refused);
                // Every record is read once per cell that names its block, and placed once.
                EXPECT_EQ(tables.stats.instanceRecords, c.records * (1 + c.sharers));
                int placed = 0;
                for (const PlacedInstance& slot : tables.instances) placed += slot.defined;
                EXPECT_EQ(placed, c.records);
            } catch (const VeldrinError& error) {
                EXPECT_TRUE(c.refused) << error.what();
                EXPECT_NE(std::string(error.what()).find("name the same IMG records over and over"), std::string::npos)
                    << error.what();
            }
        }
    }
}
