#include <gtest/gtest.h>

#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/Error.h"
#include "base/TextUtil.h"

using namespace veldrin;

TEST(ByteIo, WriterIsLittleEndianAndReaderReadsItBack) {
    ByteWriter w;
    w.u32(0x57524C44);
    w.u16(0xBEEF);
    w.f32(1.5f);
    const auto bytes = w.take();
    ASSERT_EQ(bytes.size(), 10u);
    EXPECT_EQ(bytes[0], 'D');
    EXPECT_EQ(bytes[3], 'W');
    ByteReader r(bytes, "test");
    EXPECT_EQ(r.u32(0), 0x57524C44u);
    EXPECT_EQ(r.u16(4), 0xBEEF);
    EXPECT_EQ(r.f32(6), 1.5f);
}

TEST(ByteIo, ReadsOutsideTheDataThrowNamingTheField) {
    const std::vector<uint8_t> bytes(8, 0);
    ByteReader r(bytes, "world resource");
    EXPECT_NO_THROW(r.u32(4));
    EXPECT_THROW(r.u32(5), VeldrinError);
    EXPECT_THROW(r.u8(-1), VeldrinError);
    // An offset near 2^32 must not wrap round into range.
    EXPECT_THROW(r.slice(0xFFFFFFFFll, 2), VeldrinError);
    try {
        r.u32(6, "row table");
        FAIL();
    } catch (const VeldrinError& e) {
        EXPECT_NE(std::string(e.what()).find("world resource: row table"), std::string::npos);
    }
}

TEST(TextUtil, DecimalsUseThePointWhateverTheLocale) {
    EXPECT_EQ(parseDecimal("1.5"), 1.5);
    EXPECT_EQ(parseDecimal(" -0.25 "), -0.25);
    EXPECT_EQ(parseDecimal("+3"), 3.0);
    EXPECT_FALSE(parseDecimal("1,5"));
    EXPECT_FALSE(parseDecimal(""));
    EXPECT_FALSE(parseDecimal("1.5x"));
    EXPECT_EQ(parseInteger("1000"), 1000);
    EXPECT_FALSE(parseInteger("10.0"));
    EXPECT_FALSE(parseInteger("abc"));
}
