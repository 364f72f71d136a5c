#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "base/ByteWriter.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "level/Rotation.h"
#include "support/TempFolder.h"
#include "base/DecimalText.h"
#include "tools/PlacementDump.h"
#include "tools/PlacementDumpFile.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

struct Placement {
    uint16_t model = 0;
    std::array<float, 3> position{};
    std::array<float, 9> rows{1, 0, 0, 0, 1, 0, 0, 0, 1};
};

// Game data laid out like an inflated GAME.DTZ: the two pool header offsets at 36 and 40, the pool
// headers at 64 and 80, then the entry arrays. Unread bytes hold filler so that misplaced reads show.
std::vector<uint8_t> gameData(const std::vector<Placement>& buildings, const std::vector<Placement>& treadables) {
    ByteWriter w;
    w.text("GATG");
    w.zeros(32);
    w.u32(64);
    w.u32(80);
    w.zeros(20);
    const uint32_t buildingsAt = 96;
    const uint32_t treadablesAt = buildingsAt + 96 * static_cast<uint32_t>(buildings.size());
    for (auto [entries, count] : {std::pair{buildingsAt, buildings.size()}, std::pair{treadablesAt, treadables.size()}}) {
        w.u32(entries);
        w.u32(0xDEADBEEF);
        w.u32(0xDEADBEEF);
        w.i32(static_cast<int32_t>(count) - 1);
    }
    for (const auto* pool : {&buildings, &treadables}) {
        for (const Placement& p : *pool) {
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 3; ++col) w.f32(p.rows[static_cast<std::size_t>(row * 3 + col)]);
                w.f32(99.0f); // padding after each row
            }
            for (float v : p.position) w.f32(v);
            for (int i = 0; i < 7; ++i) w.f32(-55.0f);
            w.u16(p.model);
            w.u16(0xFFFF);
            w.u32(0xFFFFFFFF);
        }
    }
    return w.take();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "line without carriage return and line feed";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(", ", start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) return fields;
        start = comma + 2;
    }
}

// The lines between the head's section keyword and the first "end".
std::vector<std::string> sectionLines(const std::string& text) {
    const std::vector<std::string> all = linesOf(text);
    std::vector<std::string> body;
    for (std::size_t i = 2; i < all.size() && all[i] != "end"; ++i) body.push_back(all[i]);
    return body;
}

std::string errorOf(const std::vector<uint8_t>& data, PlacementDumpOptions options = {}) {
    try {
        dumpPlacements(data, options);
    } catch (const VeldrinError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(GeneralNumber, NotationDigitsAndRounding) {
    EXPECT_EQ(formatGeneral(0.0, 8, 4), "0");
    EXPECT_EQ(formatGeneral(-0.0, 8, 4), "0");
    EXPECT_EQ(formatGeneral(2.0, 8, 4), "2");
    EXPECT_EQ(formatGeneral(-0.25, 8, 4), "-0.25");
    EXPECT_EQ(formatGeneral(1234.5678f, 8, 4), "1234.5677");
    EXPECT_EQ(formatGeneral(-0.1f, 8, 4), "-0.1");
    EXPECT_EQ(formatGeneral(-0.1f, 15, 0), "-0.100000001490116");
    EXPECT_EQ(formatGeneral(12345678.0, 8, 4), "12345678");
    // Halves go away from zero, on the exact value.
    EXPECT_EQ(formatGeneral(12345678.5, 8, 4), "12345679");
    EXPECT_EQ(formatGeneral(-12345678.5, 8, 4), "-12345679");
    EXPECT_EQ(formatGeneral(0.125, 2, 0), "0.13");
    EXPECT_EQ(formatGeneral(9.999999999, 8, 4), "10");
    // Scientific beyond `precision` integer digits and below 0.00001, after rounding.
    EXPECT_EQ(formatGeneral(123456792.0f, 8, 4), "1.2345679E0008");
    EXPECT_EQ(formatGeneral(99999999.5, 8, 4), "1E0008");
    EXPECT_EQ(formatGeneral(1.5e-6, 8, 4), "1.5E-0006");
    EXPECT_EQ(formatGeneral(-1e-6f, 8, 4), "-1E-0006");
    EXPECT_EQ(formatGeneral(1.5e-6, 15, 0), "1.5E-6");
    EXPECT_EQ(formatGeneral(1e-6f, 15, 0), "9.99999997475243E-7");
    EXPECT_EQ(formatGeneral(0.00001f, 8, 4), "9.9999997E-0006");
    EXPECT_EQ(formatGeneral(0.00001, 8, 4), "0.00001");
    EXPECT_EQ(formatGeneral(0.00000999999999, 8, 4), "0.00001");
    EXPECT_EQ(formatGeneral(1e300, 15, 0), "1E300");
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::quiet_NaN(), 8, 4), "NAN");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity(), 8, 4), "-INF");
}

TEST(PlacementDump, WholeFilesForOnePlacement) {
    const PlacementDump dump = dumpPlacements(gameData({{7, {10.5f, -20.25f, 3.0f}}}, {}), {1000, "indust"});
    EXPECT_EQ(dump.ide,
              "#indust.ide generated by Veldrin v1.2\r\nobjs\r\n1007, col7, generic, 1, 299, 0\r\n"
              "end\r\ntobj\r\nend\r\npath\r\nend\r\n2dfx\r\nend\r\n");
    EXPECT_EQ(dump.ipl,
              "#indust.ipl generated by Veldrin v1.2\r\ninst\r\n1007, 7, 0, 10.5, -20.25, 3, 0, 0, 0, 1, -1\r\n"
              "end\r\ncull\r\nend\r\npick\r\nend\r\n");
    EXPECT_EQ(dump.models, 1);
    EXPECT_EQ(dump.instances, 1);
}

TEST(PlacementDump, ModelInBothPoolsHasOneIdeLineAndIdsAgree) {
    const PlacementDump dump = dumpPlacements(
        gameData({{7, {1, 2, 3}}, {10, {4, 5, 6}}, {7, {7, 8, 9}}}, {{9, {0, 0, 0}}, {7, {-1, -2, -3}}, {100, {}}}), {500, ""});
    // Sorted as text: "10" and "100" before "7" and "9".
    EXPECT_EQ(sectionLines(dump.ide),
              (std::vector<std::string>{"510, col10, generic, 1, 299, 0", "600, col100, generic, 1, 299, 0",
                                        "507, col7, generic, 1, 299, 0", "509, col9, generic, 1, 299, 0"}));
    EXPECT_EQ(dump.models, 4);

    // Buildings first, then treadables; every line's id is the offset plus its model number.
    const std::vector<std::string> inst = sectionLines(dump.ipl);
    ASSERT_EQ(inst.size(), 6u);
    const char* const models[] = {"7", "10", "7", "9", "7", "100"};
    for (std::size_t i = 0; i < inst.size(); ++i) {
        const std::vector<std::string> f = fieldsOf(inst[i]);
        ASSERT_EQ(f.size(), 11u) << inst[i];
        EXPECT_EQ(f[1], models[i]);
        EXPECT_EQ(std::stoi(f[0]), 500 + std::stoi(f[1]));
        EXPECT_EQ(f[2], "0");
        EXPECT_EQ(f[10], "-1");
    }
    EXPECT_EQ(fieldsOf(inst[4])[3], "-1");
    EXPECT_EQ(fieldsOf(inst[4])[5], "-3");
}

TEST(PlacementDump, RotationAndPositionFormats) {
    Placement p;
    p.model = 3;
    p.position = {1234.5678f, 123456792.0f, -1e-6f};
    p.rows = {0, 2, 0, -2, 0, 0, 0, 0, 2}; // a quarter turn, scaled by 2: the scale is dropped
    const DecodedMatrix expected = decodeMatrix(p.rows);
    const std::vector<std::string> f = fieldsOf(sectionLines(dumpPlacements(gameData({p}, {}), {}).ipl).at(0));
    ASSERT_EQ(f.size(), 11u);
    EXPECT_EQ(f[3], "1234.5677");
    EXPECT_EQ(f[4], "1.2345679E0008");
    EXPECT_EQ(f[5], "-1E-0006");
    EXPECT_EQ(f[6], "0");
    EXPECT_EQ(f[7], "0");
    // 15 significant digits of the single-precision components.
    ASSERT_EQ(expected.rotation[3], 0.70710677f);
    EXPECT_EQ(f[8], "-0.70710676908493");
    EXPECT_EQ(f[9], "0.70710676908493");
}

TEST(PlacementDump, EmptyPoolsStillWriteHeadsAndTails) {
    const PlacementDump dump = dumpPlacements(gameData({}, {}), {});
    EXPECT_EQ(linesOf(dump.ide), (std::vector<std::string>{"#.ide generated by Veldrin v1.2", "objs", "end", "tobj", "end",
                                                           "path", "end", "2dfx", "end"}));
    EXPECT_EQ(linesOf(dump.ipl),
              (std::vector<std::string>{"#.ipl generated by Veldrin v1.2", "inst", "end", "cull", "end", "pick", "end"}));
}

TEST(PlacementDump, RefusesDataOutsideTheFileAndIdsOutOfRange) {
    const std::vector<uint8_t> good = gameData({{1, {}}, {2, {}}}, {{3, {}}});
    std::vector<uint8_t> data(good.begin(), good.begin() + 38);
    EXPECT_NE(errorOf(data).find("buildings pool header position"), std::string::npos) << errorOf(data);

    data = good;
    data[43] = 0x7F; // treadables header far beyond the end
    EXPECT_NE(errorOf(data).find("treadables pool header"), std::string::npos) << errorOf(data);

    data = good;
    data.resize(good.size() - 1); // the last treadable entry is cut short
    EXPECT_NE(errorOf(data).find("treadables pool entries (1)"), std::string::npos) << errorOf(data);

    data = good;
    for (int i = 0; i < 4; ++i) data[64 + 12 + static_cast<std::size_t>(i)] = i == 3 ? 0x7F : 0xFF; // N = 2147483647
    EXPECT_NE(errorOf(data).find("buildings pool entries (2147483648)"), std::string::npos) << errorOf(data);

    data = good;
    data[64] = 0xFF; // entry array offset beyond the end
    EXPECT_NE(errorOf(data).find("buildings pool entries"), std::string::npos) << errorOf(data);

    EXPECT_NE(errorOf(good, {-1, ""}).find("ID offset"), std::string::npos);
    EXPECT_NE(errorOf(good, {std::numeric_limits<int32_t>::max() - 2, ""}).find("model number 3"), std::string::npos);
    EXPECT_EQ(errorOf(good, {std::numeric_limits<int32_t>::max() - 3, ""}), "");
}

TEST(PlacementDumpFile, WritesBothFilesIntoTheFolder) {
    TempFolder folder("dump");
    const fs::path input = folder / "game.dat";
    const std::vector<uint8_t> data = gameData({{7, {1, 2, 3}}}, {{8, {}}});
    writeWholeFile(input, data);

    const PlacementDumpFiles files = writePlacementDump(input, {1000, "beach"}, folder / "out" / "dump");
    EXPECT_EQ(files.ide, folder / "out" / "dump" / "lcs.ide");
    EXPECT_EQ(files.ipl, folder / "out" / "dump" / "lcs.ipl");
    EXPECT_EQ(files.instances, 2);
    const PlacementDump expected = dumpPlacements(data, {1000, "beach"});
    const std::vector<uint8_t> ide = readWholeFile(files.ide), ipl = readWholeFile(files.ipl);
    EXPECT_EQ(std::string(ide.begin(), ide.end()), expected.ide);
    EXPECT_EQ(std::string(ipl.begin(), ipl.end()), expected.ipl);

    // A refused input writes nothing.
    writeWholeFile(input, std::string_view("short"));
    EXPECT_THROW(writePlacementDump(input, {}, folder / "refused"), VeldrinError);
    EXPECT_FALSE(fs::exists(folder / "refused"));
}
