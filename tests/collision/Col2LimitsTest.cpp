#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "inspect/CollisionRead.h"
#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/Error.h"
#include "collision/ColConv.h"
#include "collision/ColMapConverter.h"
#include "internal/Col2Index.h"
#include "internal/ColMapSources.h"
#include "support/CollisionBuilder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

// A COL2 file whose index has `copies` entries, all naming one model with `faces` faces: for model 0
// each, or for models 0, 1, 2 ... with `distinctIndices`.
std::vector<uint8_t> repeatedModel(int copies, int faces, bool distinctIndices = false) {
    TestColModel model;
    for (int v = 0; v < 100; ++v) model.vertices.push_back({static_cast<int16_t>(v), 1, 2});
    for (int f = 0; f < faces; ++f) {
        model.faces.push_back(TestColFace{{static_cast<int16_t>(6 * (f % 100)), 0, 6}, 1});
    }
    return buildSharedCol2(model, copies, distinctIndices, StoriesEdition::LCS);
}

std::string outcome(const std::function<void()>& read) {
    try {
        read();
    } catch (const VeldrinError& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(Col2Limits, AnIndexEndsAtItsFilesEnd) {
    const std::vector<uint8_t> file = buildCol2({{4, boxModel(1)}, {9, boxModel(2)}}, StoriesEdition::VCS);
    const int64_t tableEnd = 32 + 3 * 8; // two entries and the closing one
    struct Case {
        int64_t end;
        std::string expected;
    };
    const Case cases[] = {
        {-1, "accepted"},
        {tableEnd, "accepted"},
        {static_cast<int64_t>(file.size()) + 100, "accepted"}, // past the stream: the stream's end
        {tableEnd - 1, "runs into the next collision file at offset 55 after 2 entries"},
        {32, "runs into the next collision file at offset 32 after 0 entries"},
    };
    for (const Case& c : cases) {
        std::vector<Col2IndexEntry> entries;
        const std::string got = outcome([&] { entries = readCol2Index(file, 0, "test", c.end); });
        EXPECT_NE(got.find(c.expected), std::string::npos) << c.end << ": " << got;
        if (c.expected == "accepted") {
            ASSERT_EQ(entries.size(), 2u);
            EXPECT_EQ(entries[1].modelIndex, 9);
        }
    }
    std::vector<uint8_t> open = file;
    ByteWriter(open).patchU32(32 + 16, 0); // the closing entry becomes model 0
    EXPECT_NE(outcome([&] { readCol2Index(open, 0, "test"); }).find("runs off the end of the data"), std::string::npos);
}

TEST(Col2Limits, AnImgFilesTableStopsAtTheNextFile) {
    std::vector<uint8_t> unclosed = buildCol2({{1, boxModel(1)}}, StoriesEdition::LCS);
    ByteWriter(unclosed).patchU32(32 + 8, 2); // the closing entry names model 2, and the table runs on
    unclosed.resize(2048, 0x11);
    const std::vector<uint8_t> img = buildColImg({unclosed, buildCol2({{3, boxModel(3)}}, StoriesEdition::LCS)});
    std::vector<ColMapModel> models(8);
    EXPECT_NE(outcome([&] { applyImgCollisions(models, img, {}); })
                  .find("IMG: the collision file at sector 1: the collision index table runs into the next collision "
                        "file at offset 4096"),
              std::string::npos);

    // Closed tables: every file still points its models at itself, the later file winning.
    const std::vector<uint8_t> good = buildColImg(
        {buildCol2({{1, boxModel(1)}, {3, boxModel(2)}}, StoriesEdition::LCS), buildCol2({{3, boxModel(3)}}, StoriesEdition::LCS)});
    applyImgCollisions(models, good, {});
    EXPECT_EQ(models[1].sectionBase, 2048);
    EXPECT_EQ(models[3].sectionBase, 4096);
    EXPECT_TRUE(models[3].inImg);
}

TEST(Col2Limits, OutputIsBoundedByTheFilesSize) {
    struct Case {
        int copies;
        int faces;
        bool refused;
    };
    // Twenty copies of a 1,000-face record fit within 16 bytes per input byte plus 1 MB; a hundred do
    // not. Two thousand copies of a record without faces stay small.
    const Case cases[] = {{1, 1000, false}, {20, 1000, false}, {100, 1000, true}, {2000, 0, false}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> file = repeatedModel(c.copies, c.faces);
        Col2Conversion result;
        const std::string got = outcome([&] { result = convertCol2(file, StoriesEdition::LCS); });
        if (c.refused) {
            EXPECT_NE(got.find("its index names the same models over and over"), std::string::npos) << got;
            continue;
        }
        ASSERT_EQ(got, "accepted") << c.copies;
        const std::vector<inspect::CollRecord> records = inspect::readCollisionFile(result.col, "col");
        ASSERT_EQ(records.size(), static_cast<std::size_t>(c.copies));
        EXPECT_EQ(records.back().faces.size(), static_cast<std::size_t>(c.faces));
        EXPECT_EQ(records.back().name, "col" + std::to_string(c.copies - 1));
    }
}

TEST(Col2Limits, CollisionMapOutputIsBoundedByItsInputs) {
    // Every model of the table is pointed at one record by the IMG's collision file, and placed once.
    const auto run = [](int models, int faces) {
        TestDtz dtz;
        dtz.modelCount = models;
        for (int m = 0; m < models; ++m) dtz.buildings.instances.push_back(placedAt(m, 1, 2, 3));
        const std::vector<uint8_t> packed = buildDtz(dtz, StoriesEdition::LCS);
        const std::vector<uint8_t> img = buildColImg({repeatedModel(models, faces, true)});
        ColMapResult result;
        const std::string got = outcome([&] {
            result = convertColMap(ColMapInputs{packed, "GAME.DTZ", img, std::nullopt}, ColMapOptions{});
        });
        return std::make_pair(got, result.summary.models);
    };
    EXPECT_EQ(run(20, 1000), std::make_pair(std::string("accepted"), 20));
    EXPECT_EQ(run(2000, 1), std::make_pair(std::string("accepted"), 2000));
    const auto [got, written] = run(3000, 5000);
    EXPECT_NE(got.find("names the same collision records over and over"), std::string::npos) << got;
}
