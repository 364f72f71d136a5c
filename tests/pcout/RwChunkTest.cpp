#include <gtest/gtest.h>

#include "pcout/RwChunk.h"

using namespace veldrin;

TEST(RwChunk, HeaderIsTypeSizeStampLittleEndian) {
    ByteWriter w;
    writeChunkHeader(w, chunk::BinMesh, 0x01020304, versionStamp(TargetGame::GtaVc));
    const std::vector<uint8_t> expected{0x0E, 0x05, 0, 0, 0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF, 0x02, 0x0C};
    EXPECT_EQ(w.take(), expected);
}

TEST(RwChunk, StringsAlwaysCarryATerminatorAndAWholeNumberOfWords) {
    EXPECT_EQ(paddedStringLength(0), 4u);
    EXPECT_EQ(paddedStringLength(2), 4u);
    EXPECT_EQ(paddedStringLength(3), 4u);
    EXPECT_EQ(paddedStringLength(4), 8u);
    EXPECT_EQ(paddedStringLength(7), 8u);
    EXPECT_EQ(paddedStringLength(8), 12u);

    ByteWriter w;
    writeStringChunk(w, "abcd", 7);
    const auto bytes = w.take();
    ASSERT_EQ(bytes.size(), 20u);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(bytes[4], 8);
    EXPECT_EQ(bytes[8], 7);
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "abcd");
    for (int i = 16; i < 20; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(RwChunk, OpenChunkRecordsTheBytesWrittenInside) {
    ByteWriter w;
    w.u8(0xAA); // something before, so the patch position is not 0
    OpenChunk outer(w, chunk::Extension, 1);
    OpenChunk inner(w, chunk::Struct, 1);
    w.u32(5);
    w.u16(6);
    inner.close();
    writeChunkHeader(w, chunk::Extension, 0, 1); // an empty extension is a bare header
    outer.close();
    const auto bytes = w.take();
    ASSERT_EQ(bytes.size(), 1u + 12 + 12 + 6 + 12);
    EXPECT_EQ(bytes[1 + 4], 12 + 6 + 12); // outer: inner header + content + empty header
    EXPECT_EQ(bytes[1 + 12 + 4], 6);      // inner: its content only
    EXPECT_EQ(bytes[1 + 12 + 12 + 6 + 4], 0);
}
