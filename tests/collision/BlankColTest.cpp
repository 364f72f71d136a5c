#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/Error.h"
#include "collision/BlankCol.h"

using namespace veldrin;

namespace {

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 | uint32_t(b.at(at + 3)) << 24;
}
float f32(const std::vector<uint8_t>& b, std::size_t at) { return std::bit_cast<float>(le32(b, at)); }
std::string text(const std::vector<uint8_t>& b, std::size_t at, std::size_t n) {
    return std::string(b.begin() + at, b.begin() + at + n);
}
// The name as a reader sees it: up to the first zero of the 20-byte field.
std::string nameField(const std::vector<uint8_t>& b, std::size_t at) {
    std::string name;
    for (std::size_t i = 0; i < 20 && b.at(at + i) != 0; ++i) name.push_back(char(b[at + i]));
    return name;
}
bool zeros(const std::vector<uint8_t>& b, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        if (b.at(i) != 0) return false;
    return true;
}

} // namespace

TEST(BlankCol, VersionOneRecordForGta3AndViceCity) {
    for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaVc}) {
        std::vector<uint8_t> out;
        writeBlankCol(out, target, "indust17", {-1, -2, -3}, {1, 2, 3});
        ASSERT_EQ(out.size(), 92u);
        EXPECT_EQ(text(out, 0, 4), "COLL");
        EXPECT_EQ(le32(out, 4), 84u); // bytes after the size field
        EXPECT_EQ(nameField(out, 8), "indust17");
        EXPECT_TRUE(zeros(out, 16, 28));
        EXPECT_EQ(text(out, 28, 4), "CED2");
        EXPECT_FLOAT_EQ(f32(out, 32), std::sqrt(14.0f));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(f32(out, 36 + 4 * i), 0.0f);
            EXPECT_EQ(f32(out, 48 + 4 * i), -float(i + 1));
            EXPECT_EQ(f32(out, 60 + 4 * i), float(i + 1));
        }
        EXPECT_TRUE(zeros(out, 72, 92));
    }
}

TEST(BlankCol, VersionThreeRecordForSanAndreas) {
    std::vector<uint8_t> out;
    writeBlankCol(out, TargetGame::GtaSa, "LODust5", {0, 10, -4}, {2, 30, 4});
    ASSERT_EQ(out.size(), 120u);
    EXPECT_EQ(text(out, 0, 4), "COL3");
    EXPECT_EQ(le32(out, 4), 112u);
    EXPECT_EQ(nameField(out, 8), "LODust5");
    EXPECT_EQ(text(out, 28, 4), "CED2");
    const float min[3] = {0, 10, -4}, max[3] = {2, 30, 4}, centre[3] = {1, 20, 0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f32(out, 32 + 4 * i), min[i]);
        EXPECT_EQ(f32(out, 44 + 4 * i), max[i]);
        EXPECT_EQ(f32(out, 56 + 4 * i), centre[i]);
    }
    EXPECT_FLOAT_EQ(f32(out, 68), std::sqrt(1.0f + 100.0f + 16.0f));
    EXPECT_TRUE(zeros(out, 72, 120));
}

TEST(BlankCol, RadiusAndCentreDoNotOverflowForExtremeBounds) {
    std::vector<uint8_t> out;
    const float big = 3.0e38f;
    writeBlankCol(out, TargetGame::GtaVc, "huge", {big, big, big}, {big, big, big});
    EXPECT_EQ(f32(out, 36), big); // a float sum would have overflowed to infinity
    EXPECT_EQ(f32(out, 32), 0.0f);
}

TEST(BlankCol, NamesThatWouldNotReadBackAreRefused) {
    std::vector<uint8_t> out;
    const std::string nineteen(19, 'n');
    writeBlankCol(out, TargetGame::Gta3, nineteen, {0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(nameField(out, 8), nineteen);
    EXPECT_EQ(out[27], 0); // the terminator before "CED2"
    try {
        writeBlankCol(out, TargetGame::GtaSa, std::string(20, 'n'), {0, 0, 0}, {1, 1, 1});
        FAIL() << "a 20-character name was accepted";
    } catch (const VeldrinError& e) {
        EXPECT_NE(std::string(e.what()).find(std::string(20, 'n')), std::string::npos);
    }
    EXPECT_EQ(out.size(), 92u); // the refused record left the stream as it was
}
