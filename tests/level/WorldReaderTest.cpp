#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "base/Error.h"
#include "level/LevelInput.h"
#include "level/Rotation.h"
#include "level/WorldReader.h"
#include "support/LevelBuilder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

ResourceEncoder blob(std::size_t size, uint8_t fill) {
    return [=](uint32_t) { return std::vector<uint8_t>(size, fill); };
}

TestInstance inst(int id, int model, int list, std::array<float, 3> pos) {
    TestInstance i;
    i.id = id;
    i.model = model;
    i.list = list;
    i.position = pos;
    return i;
}

WorldTables read(const LevelDescription& d) { return readWorld(buildLevel(d).buffer(), d.edition); }

const GameVersion kEditions[] = {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp};

} // namespace

TEST(WorldReader, PlacesInstancesInRegularAndExtraCellsForEveryEdition) {
    for (GameVersion e : kEditions) {
        SCOPED_TRACE(std::string(editionName(e)));
        const WorldLayout layout = worldLayout(e);
        LevelDescription d;
        d.edition = e;
        d.resourceCount = 4;
        d.rowStarts[3] = 7;
        TestCell regular;
        regular.row = 3;
        regular.column = 2;
        regular.instances = {inst(5, 1, 2, {10.5f, 20.25f, 30})};
        TestCell extra;
        extra.extra = true;
        extra.row = 0;
        extra.column = 3;
        extra.instances = {inst(6, 2, 3, {1, 2, 3})};
        d.cells = {regular, extra};
        const WorldTables t = read(d);
        ASSERT_EQ(t.resourceCount, 4);
        ASSERT_EQ(t.instances.size(), 7u); // slots up to the highest id placed

        const double w = 4000 / layout.cellCount;
        const float pitch = static_cast<float>(std::sqrt(w * w - w * w / 4));
        const double shift = isVcs(e) ? -400 : 0;
        const PlacedInstance& a = t.instances[5];
        ASSERT_TRUE(a.defined);
        EXPECT_EQ(a.model, 1);
        EXPECT_EQ(a.row, 4);
        EXPECT_EQ(a.column, 2);
        EXPECT_EQ(a.rowStart, 7);
        EXPECT_FLOAT_EQ(a.position[0], static_cast<float>(2010.5 + 0 + 2 * w - (layout.cellCount - 7) * w + shift));
        EXPECT_FLOAT_EQ(a.position[1], static_cast<float>(4 * static_cast<double>(pitch) + 20.25 - 2000 - pitch / 2.0));
        EXPECT_FLOAT_EQ(a.position[2], 30);

        // Extra cell: row 0 becomes Row 1, RowStart 0, x = (2000 + x) + w/2 + 3w - CellCount * w.
        const PlacedInstance& b = t.instances[6];
        ASSERT_TRUE(b.defined);
        EXPECT_EQ(b.row, 1);
        EXPECT_EQ(b.column, 3);
        EXPECT_EQ(b.rowStart, 0);
        EXPECT_FLOAT_EQ(b.position[0], static_cast<float>(2001 + w / 2 + 3 * w - layout.cellCount * w + shift));
        EXPECT_EQ(t.stats.extraCells, 1);
    }
}

TEST(WorldReader, LcsPs2ExtraCellWorkedExample) {
    LevelDescription d;
    d.resourceCount = 1;
    TestCell extra;
    extra.extra = true;
    extra.column = 3;
    extra.instances = {inst(1, 0, 2, {0, 0, 0})};
    d.cells = {extra};
    EXPECT_FLOAT_EQ(read(d).instances[1].position[0], 2000 + 50 + 300 - 4000);
}

TEST(WorldReader, ListsSetDrawDistanceAndMarksPerGame) {
    for (GameVersion e : {GameVersion::LcsPs2, GameVersion::VcsPsp}) {
        const bool vcs = isVcs(e);
        LevelDescription d;
        d.edition = e;
        d.resourceCount = 9;
        TestCell cell;
        for (int list = 0; list < worldLayout(e).instanceLists; ++list) cell.instances.push_back(inst(list + 1, list, list, {0, 0, 0}));
        d.cells = {cell};
        const WorldTables t = read(d);
        for (int list = 0; list < worldLayout(e).instanceLists; ++list) {
            SCOPED_TRACE(list);
            const ModelRecord& m = t.models[list];
            EXPECT_TRUE(m.instanced);
            const bool far = vcs ? (list == 0 || list == 2) : (list <= 1);
            EXPECT_EQ(m.drawDistance, far ? 3000 : 299);
            EXPECT_EQ(m.megaLod, list == 0);
            EXPECT_EQ(m.drawLast, vcs ? list >= 6 : list >= 4);
        }
        EXPECT_FALSE(t.models[8].instanced);
    }
}

TEST(WorldReader, SharedInstanceIdsPairModelsAndRepeatsArePlacedOnce) {
    LevelDescription d;
    d.edition = GameVersion::VcsPs2;
    d.resourceCount = 10;
    TestCell first;
    first.column = 0;
    first.instances = {inst(300, 5, 2, {1, 1, 1}), inst(301, 3, 2, {4, 4, 4})};
    TestCell second;
    second.column = 1;
    TestInstance rotated = inst(300, 9, 3, {9, 9, 9});
    rotated.matrix = {0, 1, 0, -1, 0, 0, 0, 0, 2};
    second.instances = {rotated, inst(301, 3, 2, {7, 7, 7})};
    d.cells = {first, second};
    const WorldTables t = read(d);
    const PlacedInstance& slot = t.instances[300];
    EXPECT_EQ(slot.model, 5);
    EXPECT_EQ(slot.pairModel, 9);
    EXPECT_TRUE(t.models[9].isPairModel);
    EXPECT_FALSE(t.models[5].isPairModel);
    EXPECT_NEAR(slot.rotation[2], -0.7071068f, 1e-6f); // from the later record
    EXPECT_EQ(t.models[9].scale[2], 2.0f);
    // Position stays the first record's: column 0, x = 2001 + w/2*(row%2) - ...
    EXPECT_FLOAT_EQ(t.instances[301].position[0], t.instances[300].position[0] + 3);
    EXPECT_EQ(t.instances[301].pairModel, -1);
    EXPECT_EQ(t.instances[301].column, 0);
}

TEST(WorldReader, InstanceIdsUseAll15Bits) {
    LevelDescription d;
    d.resourceCount = 2;
    TestCell cell;
    cell.instances = {inst(0x8000 | 20000, 1, 2, {0, 0, 0}), inst(32767, 0, 2, {0, 0, 0})};
    d.cells = {cell};
    const WorldTables t = read(d);
    EXPECT_TRUE(t.instances[20000].defined);
    EXPECT_EQ(t.instances[20000].model, 1);
    EXPECT_TRUE(t.instances[32767].defined);
}

TEST(WorldReader, LocatesResourcesFirstLocationWins) {
    for (GameVersion e : kEditions) {
        SCOPED_TRACE(std::string(editionName(e)));
        LevelDescription d;
        d.edition = e;
        d.resourceCount = 8;
        d.trailingBlocks = 2;
        d.extraBlocks = isVcs(e) ? 1 : 0;
        TestCell cell;
        cell.instances = {inst(1, 0, 2, {0, 0, 0})};
        d.cells = {cell};
        d.resources[0].encode = blob(8, 0xA0); // world table only
        d.resources[1].encode = blob(8, 0xA1); // world table, then a block: the world table wins
        d.resources[1].placements = {{Where::WorldTable, 0}, {Where::Cell, 0}};
        d.resources[2].encode = blob(8, 0xA2); // first block, then a trailing block
        d.resources[2].placements = {{Where::Cell, 0}, {Where::TrailingBlock, 1}};
        d.resources[3].encode = blob(8, 0xA3);
        d.resources[3].placements = {{Where::TrailingBlock, 1}};
        if (isVcs(e)) {
            d.resources[4].encode = blob(8, 0xA4);
            d.resources[4].placements = {{Where::ExtraBlock, 0}};
        }
        const BuiltLevel built = buildLevel(d);
        const LevelBuffer level = built.buffer();
        const WorldTables t = readWorld(level, e);
        auto at = [&](int r) { return level.bytes.at(static_cast<std::size_t>(t.resources[r].position)); };
        EXPECT_EQ(at(0), 0xA0);
        EXPECT_TRUE(t.resources[0].fromWorldTable);
        EXPECT_EQ(t.resources[0].base, level.worldBase);
        EXPECT_EQ(at(1), 0xA1);
        EXPECT_TRUE(t.resources[1].fromWorldTable);
        EXPECT_EQ(at(2), 0xA2);
        EXPECT_FALSE(t.resources[2].fromWorldTable);
        EXPECT_LT(t.resources[2].base, level.worldBase);
        EXPECT_EQ(t.resources[2].base % 2048, 0);
        EXPECT_EQ(at(3), 0xA3);
        EXPECT_EQ(t.stats.trailingBlocks, 2);
        if (isVcs(e)) {
            EXPECT_EQ(at(4), 0xA4);
            EXPECT_EQ(t.stats.locatedByExtraBlocks, 1);
            EXPECT_EQ(t.stats.extraBlocks, 1);
        }
        EXPECT_EQ(t.resources[5].position, 0);
    }
}

TEST(WorldReader, ResourceIndicesOutsideTheTableAreSkippedAndCounted) {
    LevelDescription d;
    d.resourceCount = 3;
    TestCell cell;
    cell.instances = {inst(1, 3, 2, {0, 0, 0}), inst(2, 1, 2, {0, 0, 0})};
    cell.listedResources = {3, 700};
    d.cells = {cell};
    const WorldTables t = read(d);
    EXPECT_EQ(t.stats.skippedResourceIndices, 3);
    EXPECT_FALSE(t.instances[1].defined);
    EXPECT_TRUE(t.instances[2].defined);
}

TEST(WorldReader, PspPositionsArePackedFloats) {
    LevelDescription d;
    d.edition = GameVersion::LcsPsp;
    d.resourceCount = 1;
    TestCell cell;
    cell.row = 0;
    cell.instances = {inst(1, 0, 2, {1.0f, 2.0f, 3.0000001f})};
    d.cells = {cell};
    const WorldTables t = read(d);
    EXPECT_EQ(t.instances[1].position[2], unpackFloat(packFloat(3.0000001f)));
}

TEST(LevelInput, RefusesWhatIsNotALevel) {
    const std::vector<uint8_t> img(100, 1);
    // Not zlib at all.
    const std::vector<uint8_t> junk = {1, 2, 3, 4, 5, 6};
    EXPECT_THROW(buildLevelBuffer(junk, img), VeldrinError);
    // A stream that ends before its end marker.
    std::vector<uint8_t> world(5000, 7);
    world[0] = 'D', world[1] = 'L', world[2] = 'R', world[3] = 'W';
    std::vector<uint8_t> lvz = deflateBytes(world);
    lvz.resize(lvz.size() / 2);
    try {
        buildLevelBuffer(lvz, img);
        FAIL();
    } catch (const VeldrinError& e) {
        EXPECT_NE(std::string(e.what()).find("truncated"), std::string::npos);
    }
    // "WRLD" instead of "DLRW".
    std::vector<uint8_t> reversed(64, 0);
    reversed[0] = 'W', reversed[1] = 'R', reversed[2] = 'L', reversed[3] = 'D';
    try {
        buildLevelBuffer(deflateBytes(reversed), img);
        FAIL();
    } catch (const VeldrinError& e) {
        EXPECT_STREQ(e.what(), kIncorrectLvzMessage);
    }
    // An empty IMG puts the world at position 0.
    std::vector<uint8_t> good(64, 0);
    good[0] = 'D', good[1] = 'L', good[2] = 'R', good[3] = 'W';
    const LevelBuffer level = buildLevelBuffer(deflateBytes(good), {});
    EXPECT_EQ(level.worldBase, 0);
    EXPECT_EQ(level.bytes.size(), 64u);
}

TEST(WorldReader, MalformedWorldsAreRefusedNeverReadOutside) {
    LevelDescription d;
    d.resourceCount = 2;
    TestCell cell;
    cell.instances = {inst(1, 0, 2, {0, 0, 0})};
    d.cells = {cell};
    const BuiltLevel built = buildLevel(d);
    // Truncated world resource.
    for (std::size_t keep : {std::size_t{40}, std::size_t{500}, built.world.size() - 4}) {
        std::vector<uint8_t> world(built.world.begin(), built.world.begin() + static_cast<long>(keep));
        const LevelBuffer level = buildLevelBuffer(deflateBytes(world), built.img);
        EXPECT_THROW(readWorld(level, d.edition), VeldrinError) << keep;
    }
    // Truncated IMG: the cell's block lies outside, and the IMG is named for it, not the LVZ.
    {
        LevelBuffer level = buildLevelBuffer(built.lvz, std::vector<uint8_t>(built.img.begin(), built.img.begin() + 40));
        level.imgName = "town.IMG";
        try {
            readWorld(level, d.edition);
            ADD_FAILURE() << "a truncated IMG was read";
        } catch (const VeldrinError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("town.IMG is shorter than the level's world needs (", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find("the IMG is truncated"), std::string::npos) << e.what();
        }
    }
    // A resource count far beyond the data.
    {
        std::vector<uint8_t> world = built.world;
        world[412] = 0xFF, world[413] = 0xFF, world[414] = 0xFF, world[415] = 0x7F;
        EXPECT_THROW(readWorld(buildLevelBuffer(deflateBytes(world), built.img), d.edition), VeldrinError);
    }
    // Random bytes behind a valid ident: either refused or read, never a crash (the sanitizer build checks).
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> world(built.world);
        for (int k = 0; k < 40; ++k) world[4 + rng() % (world.size() - 4)] = static_cast<uint8_t>(rng());
        std::vector<uint8_t> img(built.img);
        for (int k = 0; k < 40; ++k) img[rng() % img.size()] = static_cast<uint8_t>(rng());
        const LevelBuffer level = buildLevelBuffer(deflateBytes(world), img);
        for (GameVersion e : kEditions) {
            try {
                readWorld(level, e);
            } catch (const VeldrinError&) {
            }
        }
    }
}
