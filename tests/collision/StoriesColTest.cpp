#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inspect/CollisionRead.h"
#include "base/ByteWriter.h"
#include "base/Error.h"
#include "collision/ColWriter.h"
#include "collision/StoriesColReader.h"
#include "support/CollisionBuilder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

const StoriesEdition kEditions[] = {StoriesEdition::LCS, StoriesEdition::VCS};

// A model with some of everything; the stream starts with unrelated bytes so that a header at 0 or
// a section base mix-up would show.
TestColModel fullModel() {
    TestColModel m;
    m.centre = {1, 2, 3};
    m.radius = 9.5f;
    m.min = {-4, -5, -6};
    m.max = {7, 8, 9};
    m.spheres = {{{1, 1, 1}, 2.5f, 5, 1}, {{-3, 0, 2}, 0.25f, 17, 0}};
    m.boxes = {{{-1, -2, -3}, {1, 2, 3}, {9, 8, 7, 6}}};
    m.vertices = {{128, -256, 64}, {0, 0, 0}, {-128, 384, 1}, {32767, -32768, 0}};
    m.faces = {{{0, 6, 12}, 3}, {{18, 12, 0}, 44}};
    return m;
}

std::vector<uint8_t> streamWith(const TestColModel& m, StoriesEdition e, uint32_t& header) {
    std::vector<uint8_t> stream(40, 0xCC);
    header = appendColModel(stream, m, e, 0);
    return stream;
}

inspect::CollRecord roundTrip(const StoriesColModel& model, const std::string& name = "col0") {
    std::vector<uint8_t> out;
    writeCOL(out, name, model);
    const std::vector<inspect::CollRecord> records = inspect::readCollisionFile(out, "col");
    EXPECT_EQ(records.size(), 1u);
    return records.at(0);
}

void patch32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) { ByteWriter(b).patchU32(at, v); }

} // namespace

TEST(StoriesCol, EmptyModelKeepsOneVertexAndARecordOfSize96) {
    for (StoriesEdition e : kEditions) {
        TestColModel m;
        m.vertices = {{128, -256, 64}};
        uint32_t header = 0;
        const std::vector<uint8_t> stream = streamWith(m, e, header);
        EXPECT_TRUE(isEmptyColModel(stream, header, e, "m"));
        std::vector<uint8_t> out;
        writeCOL(out, "col0", readStoriesColModel(stream, header, 0, e));
        ASSERT_EQ(out.size(), 104u);
        const inspect::CollRecord r = inspect::readCollisionFile(out, "col").at(0);
        EXPECT_EQ(r.size, 96u);
        ASSERT_EQ(r.vertices.size(), 1u);
        EXPECT_EQ(r.vertices[0], (std::array<float, 3>{1, -2, 0.5f}));
        EXPECT_TRUE(r.spheres.empty() && r.boxes.empty() && r.faces.empty());
    }
}

TEST(StoriesCol, EveryElementAndTheBoundsSurviveBothEditions) {
    for (StoriesEdition e : kEditions) {
        uint32_t header = 0;
        const std::vector<uint8_t> stream = streamWith(fullModel(), e, header);
        EXPECT_FALSE(isEmptyColModel(stream, header, e, "m"));
        const inspect::CollRecord r = roundTrip(readStoriesColModel(stream, header, 0, e), "colmap12");
        EXPECT_EQ(r.size, 84u + 20 * 2 + 28 * 1 + 12 * 4 + 16 * 2);
        EXPECT_EQ(r.name, "colmap12");
        EXPECT_EQ(r.modelTag, "CED2");
        EXPECT_EQ(r.radius, 9.5f);
        EXPECT_EQ(r.centre, (std::array<float, 3>{1, 2, 3}));
        EXPECT_EQ(r.min, (std::array<float, 3>{-4, -5, -6}));
        EXPECT_EQ(r.max, (std::array<float, 3>{7, 8, 9}));
        ASSERT_EQ(r.spheres.size(), 2u);
        EXPECT_EQ(r.spheres[0].radius, 2.5f);
        EXPECT_EQ(r.spheres[0].centre, (std::array<float, 3>{1, 1, 1}));
        EXPECT_EQ(r.spheres[0].surface, (std::array<uint8_t, 4>{5, 1, 0, 0}));
        EXPECT_EQ(r.spheres[1].surface, (std::array<uint8_t, 4>{17, 0, 0, 0}));
        EXPECT_EQ(r.lineCount, 0u);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].min, (std::array<float, 3>{-1, -2, -3}));
        EXPECT_EQ(r.boxes[0].max, (std::array<float, 3>{1, 2, 3}));
        EXPECT_EQ(r.boxes[0].surface, (std::array<uint8_t, 4>{9, 8, 7, 6}));
        // Faces name corners 0, 6, 12, 18: four vertices, the last at the int16 limits.
        ASSERT_EQ(r.vertices.size(), 4u);
        EXPECT_EQ(r.vertices[3], (std::array<float, 3>{32767 / 128.0f, -256, 0}));
        EXPECT_EQ(r.vertices[2], (std::array<float, 3>{-1, 3, 1 / 128.0f}));
        ASSERT_EQ(r.faces.size(), 2u);
        EXPECT_EQ(r.faces[0].corners, (std::array<uint32_t, 3>{0, 1, 2}));
        EXPECT_EQ(r.faces[0].surface, 3u);
        EXPECT_EQ(r.faces[1].corners, (std::array<uint32_t, 3>{3, 2, 0}));
        EXPECT_EQ(r.faces[1].surface, 44u); // the other three surface bytes are zero
    }
}

TEST(StoriesCol, VertexCountFollowsTheLargestCorner) {
    TestColModel m;
    m.vertices.resize(6);
    // Corner 31 is vertex 5 (31 / 6); -5 truncates to vertex 0; -6 would be vertex -1.
    m.faces = {{{0, 31, 6}, 1}, {{-5, 0, 6}, 2}, {{-6, 0, 6}, 3}};
    for (StoriesEdition e : kEditions) {
        uint32_t header = 0;
        const std::vector<uint8_t> stream = streamWith(m, e, header);
        const StoriesColModel model = readStoriesColModel(stream, header, 0, e);
        EXPECT_EQ(model.vertices.size(), 6u);
        ASSERT_EQ(model.faces.size(), 2u);
        EXPECT_EQ(model.faces[0].vertices, (std::array<uint32_t, 3>{0, 5, 1}));
        EXPECT_EQ(model.faces[1].vertices, (std::array<uint32_t, 3>{0, 0, 1}));
        EXPECT_EQ(model.skippedFaces, 1);
    }
}

TEST(StoriesCol, EditionDecidesWhereTheCountsAre) {
    TestColModel m;
    m.spheres.resize(2);
    m.vertices.resize(1);
    uint32_t header = 0;
    std::vector<uint8_t> stream = streamWith(m, StoriesEdition::LCS, header);
    stream.resize(stream.size() + 200); // room for what the other layout reads
    EXPECT_FALSE(isEmptyColModelLcs(stream, header));
    EXPECT_FALSE(isEmptyColModelVcs(stream, header));
    const StoriesColModel asLcs = readStoriesColModel(stream, header, 0, StoriesEdition::LCS);
    const StoriesColModel asVcs = readStoriesColModel(stream, header, 0, StoriesEdition::VCS);
    EXPECT_EQ(asLcs.spheres.size(), 2u);
    EXPECT_EQ(asLcs.boxes.size(), 0u);
    // The LCS sphere count sits where VCS keeps its box count.
    EXPECT_EQ(asVcs.spheres.size(), 0u);
    EXPECT_EQ(asVcs.boxes.size(), 2u);
}

TEST(StoriesCol, TablesGrowPastTheOldFixedCapacities) {
    TestColModel m;
    m.spheres.resize(300);
    m.boxes.resize(300);
    m.vertices.resize(5462); // the most int16 corners can reach
    for (int i = 0; i < 9000; ++i) m.faces.push_back({{int16_t(6 * (i % 5462)), 0, 32766}, 0});
    uint32_t header = 0;
    const std::vector<uint8_t> stream = streamWith(m, StoriesEdition::VCS, header);
    const inspect::CollRecord r = roundTrip(readStoriesColModel(stream, header, 0, StoriesEdition::VCS));
    EXPECT_EQ(r.spheres.size(), 300u);
    EXPECT_EQ(r.boxes.size(), 300u);
    EXPECT_EQ(r.vertices.size(), 5462u);
    EXPECT_EQ(r.faces.size(), 9000u);
}

TEST(StoriesCol, HeadersAndSectionsOutsideTheStreamAreRefusedNamingTheModel) {
    auto refusal = [](const std::vector<uint8_t>& stream, int64_t header, int64_t base, StoriesEdition e) {
        try {
            readStoriesColModel(stream, header, base, e, "Collision model 7 in GAME.DTZ");
        } catch (const VeldrinError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    for (StoriesEdition e : kEditions) {
        const ColHeaderFields f = colHeaderFields(e);
        uint32_t header = 0;
        const std::vector<uint8_t> good = streamWith(fullModel(), e, header);
        ASSERT_EQ(refusal(good, header, 0, e), "accepted");

        EXPECT_NE(refusal(good, int64_t(good.size()) - 50, 0, e).find("Collision model 7 in GAME.DTZ: collision header"),
                  std::string::npos);
        EXPECT_THROW(isEmptyColModel(good, int64_t(good.size()) - 2, e, "m"), VeldrinError);
        EXPECT_THROW(isEmptyColModel(good, -1, e, "m"), VeldrinError);
        // A section base that would carry an offset past the end.
        EXPECT_NE(refusal(good, header, int64_t(good.size()), e), "accepted");

        const std::pair<int, const char*> sections[] = {{f.sphereOffset, "sphere section"},
                                                        {f.boxOffset, "box section"},
                                                        {f.faceOffset, "face section"},
                                                        {f.vertexOffset, "vertex section"}};
        for (const auto& [field, name] : sections) {
            for (uint32_t offset : {uint32_t(good.size()), 0xFFFFFFF0u}) {
                std::vector<uint8_t> bad = good;
                patch32(bad, header + field, offset);
                const std::string message = refusal(bad, header, 0, e);
                EXPECT_NE(message.find("Collision model 7 in GAME.DTZ: " + std::string(name)), std::string::npos) << message;
            }
        }
        // A section without records is never looked for, wherever its offset points.
        TestColModel noSpheres = fullModel();
        noSpheres.spheres.clear();
        uint32_t at = 0;
        std::vector<uint8_t> empty = streamWith(noSpheres, e, at);
        patch32(empty, at + f.sphereOffset, 0xFFFFFFFFu);
        EXPECT_EQ(refusal(empty, at, 0, e), "accepted");

        // Cut inside the last section: the stream ends before the model does.
        std::vector<uint8_t> cut(good.begin(), good.end() - 4);
        EXPECT_NE(refusal(cut, header, 0, e), "accepted");
    }
}

TEST(StoriesCol, NamesTooLongForTheFieldAreRefusedLeavingTheStreamAlone) {
    uint32_t header = 0;
    const std::vector<uint8_t> stream = streamWith(fullModel(), StoriesEdition::LCS, header);
    const StoriesColModel model = readStoriesColModel(stream, header, 0, StoriesEdition::LCS);
    std::vector<uint8_t> out{1, 2, 3};
    EXPECT_THROW(writeCOL(out, std::string(20, 'a'), model), VeldrinError);
    EXPECT_THROW(writeCOL(out, std::string(21, 'a'), model), VeldrinError);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
    writeCOL(out, std::string(19, 'a'), model);
    out.erase(out.begin(), out.begin() + 3);
    EXPECT_EQ(inspect::readCollisionFile(out, "col").at(0).name, std::string(19, 'a'));
}
