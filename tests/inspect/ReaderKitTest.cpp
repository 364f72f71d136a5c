#include <gtest/gtest.h>

#include <bit>
#include <functional>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "inspect/ChunkTree.h"
#include "inspect/CollisionRead.h"
#include "inspect/DffRead.h"
#include "inspect/ImgRead.h"
#include "inspect/Inspection.h"
#include "inspect/ItemText.h"

using namespace veldrin;
using namespace veldrin::inspect;

namespace {

std::vector<uint8_t> words(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

std::vector<uint8_t> text(const std::string& s) { return {s.begin(), s.end()}; }

} // namespace

TEST(ReaderKit, LibraryVersionsOfTheThreeTargetsAndOfAnOldStamp) {
    EXPECT_EQ(libraryVersion(0x0800FFFF), "3.2.0.0");
    EXPECT_EQ(libraryVersion(0x0C02FFFF), "3.3.0.2");
    EXPECT_EQ(libraryVersion(0x1803FFFF), "3.6.0.3");
    EXPECT_EQ(libraryVersion(0x00000310), "3.1.0.0"); // the oldest files keep the bare version
}

// Damaged input is refused, never read past: the message names the file, the record and the offset.
TEST(ReaderKit, DamagedInputIsRefusedNamingFileRecordAndOffset) {
    std::vector<uint8_t> deep;
    for (int i = 0; i < 70; ++i) {
        const auto header = words({0x03, uint32_t(12 * (69 - i)), 0x1803FFFF});
        deep.insert(deep.end(), header.begin(), header.end());
    }
    std::vector<uint8_t> coll = text("COLL");
    const auto rest = words({200});
    coll.insert(coll.end(), rest.begin(), rest.end());
    coll.resize(208, 0);
    coll[72] = coll[73] = coll[74] = coll[75] = 0xFF; // sphere count 2^32 - 1
    std::vector<uint8_t> ver2 = text("VER2");
    const auto count = words({1000});
    ver2.insert(ver2.end(), count.begin(), count.end());
    struct Case {
        std::function<void()> read;
        std::string message;
    };
    const Case cases[] = {
        {[] { readChunkTree(words({0x10, 100, 0x1803FFFF, 0}), "f.dff"); },
         "f.dff: Clump (0x10) at offset 0 declares 100 bytes, past its parent's end at 16"},
        {[] { readChunkTree(words({0x10, 8, 0x1803FFFF, 1, 2}), "f.dff"); },
         "f.dff: chunk header at offset 12 runs past its parent (ends at 20)"},
        {[&] { readChunkTree(deep, "f.dff"); }, "f.dff: Extension (0x3) at offset 768 nests deeper than 64 chunks"},
        {[] { readDff(words({0x16, 0, 0x1803FFFF}), "f.dff"); }, "f.dff: the file starts with Texture Dictionary (0x16) at offset 0, not a Clump"},
        {[&] { readCollisionFile(coll, "f.col"); },
         "f.col: record 0 at offset 0: spheres at offset 76 (85899345900 bytes) lies outside the data (208 bytes)"},
        {[] { readCollisionFile(text(std::string("COLL\x10\0\0\0abc", 11)), "f.col"); },
         "f.col: record 0 at offset 0 (24 bytes) lies outside the data (11 bytes)"},
        {[] { readCollisionFile(text("COLX...."), "f.col"); }, "f.col: record 0 at offset 0 opens with \"COLX\", not COLL, COL2 or COL3"},
        {[&] { readVer2Entries(ver2, "f.img"); }, "f.img: directory at offset 8 (32000 bytes) lies outside the data (8 bytes)"},
        {[] { checkEntriesInside({{"a.dff", 3, 2}}, 8192, "f.img"); },
         "f.img: entry 0 \"a.dff\" (sectors 3 to 5) ends at byte 10240, past the archive's 8192 bytes"},
        {[] { readTextSections(text(std::string("objs\n1, a\0\nend\n", 14)), "f.ide"); },
         "f.ide: line 2 holds a zero byte: this is not a text file"},
    };
    for (const Case& c : cases) {
        try {
            c.read();
            ADD_FAILURE() << "read: " << c.message;
        } catch (const VeldrinError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// A later-version record, laid out by hand: sections at their offsets from the byte after the tag,
// vertices as 1/128 units up to the largest face corner.
TEST(ReaderKit, Col3RecordReadsItsSectionsFromTheirOffsets) {
    std::vector<uint8_t> bytes;
    ByteWriter w(bytes);
    w.bytes(text("COL3"));
    w.u32(0); // size, patched below
    w.bytes(text(std::string("lamp\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22)));
    w.u16(777);
    for (float f : {-1.0f, -2.0f, -3.0f, 1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 0.0f, 4.0f}) w.f32(f); // min, max, centre, radius
    w.u16(1), w.u16(1), w.u16(1), w.u8(0), w.u8(0); // spheres, boxes, faces, lines
    w.u32(2);                                     // flags
    // Offsets from the byte after the tag: header 120 - 4, then sphere 20, box 28, vertices 3 x 6, face 8.
    w.u32(116), w.u32(136), w.u32(0), w.u32(164), w.u32(182), w.u32(0);
    w.u32(5), w.u32(0), w.u32(0); // shadow faces, their offsets
    for (float f : {1.0f, 2.0f, 3.0f, 0.5f}) w.f32(f);
    w.u8(9), w.u8(0), w.u8(0), w.u8(1);
    for (float f : {-1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f}) w.f32(f);
    w.u8(4), w.u8(0), w.u8(0), w.u8(0);
    for (int16_t v : {128, 0, 0, 0, 256, 0, -64, 0, 384}) w.u16(uint16_t(v));
    w.u16(0), w.u16(2), w.u16(1), w.u8(7), w.u8(3);
    bytes[4] = uint8_t(bytes.size() - 8);
    const std::vector<CollRecord> records = readCollisionFile(bytes, "f.col");
    ASSERT_EQ(records.size(), 1u);
    const CollRecord& r = records[0];
    EXPECT_EQ(r.format, "COL3");
    EXPECT_EQ(r.name, "lamp");
    EXPECT_EQ(r.modelId, 777);
    EXPECT_EQ(r.radius, 4.0f);
    ASSERT_EQ(r.spheres.size(), 1u);
    EXPECT_EQ(r.spheres[0].radius, 0.5f);
    EXPECT_EQ(r.spheres[0].surface, (std::array<uint8_t, 4>{9, 0, 0, 1}));
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].max, (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(r.vertices, (std::vector<std::array<float, 3>>{{1, 0, 0}, {0, 2, 0}, {-0.5f, 0, 3}}));
    ASSERT_EQ(r.faces.size(), 1u);
    EXPECT_EQ(r.faces[0].corners, (std::array<uint32_t, 3>{0, 2, 1}));
    EXPECT_EQ(r.faces[0].surface, 7u | 3u << 8);
    EXPECT_EQ(r.shadowFaceCount, 5u);
}

TEST(ReaderKit, KindIsToldByContentBeforeExtension) {
    const auto clump = words({0x10, 0, 0x1803FFFF});
    const auto dictionary = words({0x16, 0, 0x1803FFFF});
    struct Case {
        const char* name;
        std::vector<uint8_t> head;
        std::optional<FileKind> kind;
    };
    const Case cases[] = {
        {"a.bin", clump, FileKind::Dff},
        {"a.dff", dictionary, FileKind::Txd},
        {"a.img", clump, FileKind::ImgWithDir}, // a headerless archive opens with its first entry
        {"a.img", text(std::string("VER2\0\0\0\0", 8)), FileKind::ImgVer2},
        {"a.txt", text("COL3...."), FileKind::Col},
        {"a.txt", text("# items\nobjs\n1, a, b, 1, 100, 0\nend\n"), FileKind::Ide},
        {"a.ide", text("inst\n1, a, 0\nend\n"), FileKind::Ipl},
        {"a.dir", text("\x01\x02"), FileKind::Dir},
        {"a.bin", text("\x01\x02"), std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(detectKind(c.name, c.head), c.kind) << c.name;
}

TEST(ReaderKit, TextSectionsCountTheirEntriesAndSayWhenAnEndIsMissing) {
    const auto sections = readTextSections(text("# head\r\nobjs\r\n1, a\r\n\r\n# note\r\n2, b\r\nEND\r\ninst\r\n3, c\r\n"), "f.ipl");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].keyword, "objs");
    EXPECT_EQ(sections[0].line, 2u);
    EXPECT_EQ(sections[0].lines, 2u);
    EXPECT_TRUE(sections[0].closed);
    EXPECT_EQ(sections[1].lines, 1u);
    EXPECT_FALSE(sections[1].closed);
}
