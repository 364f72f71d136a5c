#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "inspect/CollisionRead.h"
#include "base/ByteWriter.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "collision/ColConv.h"
#include "support/CollisionBuilder.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

TestColModel modelWithBoxes(int boxes, float radius) {
    TestColModel m;
    m.radius = radius;
    m.boxes.resize(static_cast<std::size_t>(boxes));
    m.vertices = {{128, 128, 128}, {256, 0, 0}};
    m.faces = {{{0, 6, 0}, 7}};
    return m;
}

std::vector<TestCol2Entry> threeEntries() {
    return {{40, modelWithBoxes(1, 1)}, {3, modelWithBoxes(2, 2)}, {17, modelWithBoxes(0, 3)}};
}

std::string refusal(const std::vector<uint8_t>& col2, StoriesEdition e = StoriesEdition::LCS) {
    try {
        convertCol2(col2, e);
    } catch (const VeldrinError& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(ColConv, BothEditionsGiveOneRecordPerEntryNamedByItsPlace) {
    for (StoriesEdition e : {StoriesEdition::LCS, StoriesEdition::VCS}) {
        const Col2Conversion result = convertCol2(buildCol2(threeEntries(), e), e);
        const std::vector<inspect::CollRecord> records = inspect::readCollisionFile(result.col, "col");
        ASSERT_EQ(records.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(records[k].name, "col" + std::to_string(k)); // whatever the model index
            EXPECT_EQ(records[k].radius, float(k + 1));
            EXPECT_EQ(records[k].vertices.size(), 2u);
        }
        EXPECT_EQ(records[0].boxes.size(), 1u);
        EXPECT_EQ(records[1].boxes.size(), 2u);
        EXPECT_EQ(result.summary.records, 3);
        EXPECT_EQ(result.summary.warnings, 0);
    }
}

TEST(ColConv, EmptyTablesAndNegativeIndicesWriteNoRecord) {
    EXPECT_TRUE(convertCol2(buildCol2({}, StoriesEdition::VCS), StoriesEdition::VCS).col.empty());

    std::vector<TestCol2Entry> entries = threeEntries();
    entries[1].modelIndex = -5;
    std::vector<std::string> warnings;
    ColCallbacks callbacks;
    callbacks.warning = [&](const std::string& text) { warnings.push_back(text); };
    const Col2Conversion result = convertCol2(buildCol2(entries, StoriesEdition::LCS), StoriesEdition::LCS, callbacks);
    const std::vector<inspect::CollRecord> records = inspect::readCollisionFile(result.col, "col");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "col0");
    EXPECT_EQ(records[1].name, "col2");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("-5"), std::string::npos);
    EXPECT_EQ(result.summary.skipped, 1);
}

TEST(ColConv, DamagedFilesAreRefused) {
    EXPECT_EQ(refusal({}), kInvalidCol2Message);
    EXPECT_EQ(refusal({'2', 'l', 'o'}), kInvalidCol2Message);
    std::vector<uint8_t> wrongMagic = buildCol2(threeEntries(), StoriesEdition::LCS);
    wrongMagic[0] = 'c';
    EXPECT_EQ(refusal(wrongMagic), kInvalidCol2Message);

    // Only the magic: the index table is missing altogether.
    EXPECT_NE(refusal({'2', 'l', 'o', 'c'}).find("runs off the end"), std::string::npos);

    // No closing entry: the table runs into the models and off the end.
    std::vector<uint8_t> open(32, 0);
    open[0] = '2', open[1] = 'l', open[2] = 'o', open[3] = 'c';
    ByteWriter w(open);
    w.i32(0);
    w.u32(0);
    w.i32(1);
    EXPECT_NE(refusal(open).find("runs off the end"), std::string::npos);

    // A header offset far past the end, one that wraps round in 32 bits, and a cut model.
    for (uint32_t offset : {0x7FFFFFF0u, 0xFFFFFFF8u}) {
        std::vector<uint8_t> bad = buildCol2(threeEntries(), StoriesEdition::VCS);
        ByteWriter(bad).patchU32(32 + 8 + 4, offset);
        EXPECT_NE(refusal(bad, StoriesEdition::VCS).find("Collision model col1"), std::string::npos);
    }
    std::vector<uint8_t> cut = buildCol2(threeEntries(), StoriesEdition::VCS);
    cut.resize(cut.size() - 10);
    EXPECT_NE(refusal(cut, StoriesEdition::VCS), "accepted");
}

TEST(ColConv, FilesAreWrittenWholeOrNotAtAll) {
    TempFolder dir("veldrin-col2");
    const std::filesystem::path input = dir / "x.col2";
    const std::filesystem::path output = col2OutputPath(input);
    EXPECT_EQ(output.filename(), "x.col2.col");

    writeWholeFile(input, buildCol2(threeEntries(), StoriesEdition::LCS));
    std::vector<std::string> statuses;
    ColCallbacks callbacks;
    callbacks.status = [&](const std::string& text) { statuses.push_back(text); };
    EXPECT_EQ(convertCol2File(input, output, StoriesEdition::LCS, callbacks).records, 3);
    EXPECT_EQ(inspect::readCollisionFile(readWholeFile(output), "col").size(), 3u);
    EXPECT_EQ(statuses.back(), "Done!");

    // A second conversion replaces the first.
    writeWholeFile(input, buildCol2({{1, modelWithBoxes(0, 5)}}, StoriesEdition::LCS));
    convertCol2File(input, output, StoriesEdition::LCS);
    EXPECT_EQ(inspect::readCollisionFile(readWholeFile(output), "col").size(), 1u);

    // A refused file leaves the earlier output as it was and creates nothing new.
    const std::vector<uint8_t> before = readWholeFile(output);
    std::vector<uint8_t> damaged = buildCol2(threeEntries(), StoriesEdition::LCS);
    damaged.resize(damaged.size() - 10);
    writeWholeFile(input, damaged);
    EXPECT_THROW(convertCol2File(input, output, StoriesEdition::LCS), VeldrinError);
    EXPECT_EQ(readWholeFile(output), before);
    const std::filesystem::path other = dir / "other.col";
    EXPECT_THROW(convertCol2File(input, other, StoriesEdition::LCS), VeldrinError);
    EXPECT_THROW(convertCol2File(dir / "missing.col2", other, StoriesEdition::LCS), VeldrinError);
    EXPECT_FALSE(std::filesystem::exists(other));
}
