// The report's byte-level building blocks: hashes against published vectors, PNGs read back by libpng.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <nlohmann/json.hpp>
#include <zlib.h>

#include "base/Error.h"
#include "internal/ZlibStream.h"
#include "report/NaturalOrder.h"
#include "report/JsonText.h"
#include "report/PngFile.h"
#include "report/PngReader.h"
#include "report/ReportPage.h"
#include "report/RunRecord.h"
#include "report/Sha256.h"
#include "report/TextureSheet.h"

namespace veldrin {
namespace {

std::span<const uint8_t> bytesOf(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

TEST(Sha256, PublishedVectorsAndBlockBoundaries) {
    struct Case {
        std::string message, digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first padding block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) EXPECT_EQ(sha256Hex(bytesOf(c.message)), c.digest) << c.message.size() << " bytes";
}

TEST(PngFile, ReadsBackPixelForPixel) {
    // 600 x 1000 is compressed in three pieces, each primed with the rows before it; 1100 x 1000 drawn
    // in bands is drawn in two, the second's first piece primed with rows of the first.
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{3, 5}, std::pair{128, 128}, std::pair{257, 2}, std::pair{600, 1000}, std::pair{1100, 1000}}) {
        RgbaImage image(w, h);
        for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 37 + i / 7);
        const auto bytes = encodePng(image);
        EXPECT_EQ(encodePng(image, 3), bytes) << "the same image gives the same bytes on any number of threads";
        const RgbaImage back = test::readPng(bytes);
        EXPECT_EQ(back.width, w);
        EXPECT_EQ(back.height, h);
        EXPECT_EQ(back.pixels, image.pixels) << w << " x " << h;

        std::vector<int> bandEnds;
        for (int y = 7; y < h; y += 7) bandEnds.push_back(y);
        bandEnds.push_back(h);
        const DrawBand draw = [&image](int first, int last, uint8_t* rows) {
            std::memcpy(rows, image.at(0, first), std::size_t(last - first) * std::size_t(image.width) * 4);
        };
        const auto banded = encodePngInBands(w, h, bandEnds, draw, 3);
        EXPECT_EQ(encodePngInBands(w, h, bandEnds, draw, 1), banded);
        EXPECT_EQ(test::readPng(banded).pixels, image.pixels) << w << " x " << h << " in bands";
    }
    EXPECT_THROW(encodePng(RgbaImage{}), VeldrinError);
}

TEST(ReportPage, EscapesTextAndLinks) {
    EXPECT_EQ(escapeHtml("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_EQ(urlSegment("indust17"), "indust17");
    EXPECT_EQ(urlSegment("a b#?/%.txd"), "a%20b%23%3F%2F%25.txd");
}

// Names as a modder counts them: digit runs as numbers, letters in either case alike; the page's tables
// of models and textures follow that order whatever order the files hold them in.
TEST(ReportPage, ListsModelsAndTexturesInNaturalOrder) {
    const std::vector<std::string> ordered = {"ps", "ps2", "PS02", "ps2a", "ps20", "ps21", "ps210", "tex9", "tex10", "tex0010b",
                                              "tex99999999999999999999", "tex100000000000000000000", "Wall", "wall_1"};
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        EXPECT_FALSE(naturalLess(ordered[i], ordered[i])) << ordered[i];
        for (std::size_t j = i + 1; j < ordered.size(); ++j) {
            EXPECT_TRUE(naturalLess(ordered[i], ordered[j])) << ordered[i] << " before " << ordered[j];
            EXPECT_FALSE(naturalLess(ordered[j], ordered[i])) << ordered[j] << " after " << ordered[i];
        }
    }
    RunRecord record;
    ReportPictures pictures;
    pictures.sheets.push_back({"TXD", {}});
    for (const char* name : {"ps210", "ps2", "ps21", "ps20"}) {
        record.models.push_back({name, 1, "TXD", 12, 8, 100});
        pictures.sheets[0].cells.push_back({std::string("t") + name, 0, 0, 8, 8, false, "DXT1", 1});
    }
    const std::string page = reportPage(record, pictures);
    for (const char* prefix : {"<td>", "<td>t"}) {
        std::size_t at = 0;
        for (const char* name : {"ps2<", "ps20<", "ps21<", "ps210<"}) {
            const std::size_t next = page.find(prefix + std::string(name), at);
            ASSERT_NE(next, std::string::npos) << prefix << name << " after offset " << at;
            at = next;
        }
    }
}

// scene.js's arrays go to the compressor a megabyte at a time, in whatever pieces they come: the stream
// must inflate to exactly what was added, across the megabyte boundaries too.
TEST(ZlibWriter, InflatesToWhatWasAddedInAnyPieces) {
    std::vector<uint8_t> expected;
    ZlibWriter writer;
    uint32_t state = 7;
    for (std::size_t piece = 1; expected.size() < (std::size_t(7) << 19); piece = piece * 3 % 400001 + 1) {
        std::vector<uint8_t> bytes(piece);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> (piece % 2 ? 24 : 28));
        writer.add(bytes);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        writer.addFill(0xAB, piece % 5000);
        expected.insert(expected.end(), piece % 5000, 0xAB);
    }
    EXPECT_EQ(writer.size(), expected.size());
    const CompressedBytes stream = writer.finish();
    std::vector<uint8_t> back(expected.size() + 1);
    uLongf size = back.size();
    ASSERT_EQ(uncompress(back.data(), &size, stream.data(), stream.size()), Z_OK);
    back.resize(size);
    EXPECT_TRUE(back == expected) << back.size() << " bytes inflated, " << expected.size() << " added";
}

// The report's large JSON is written as text; it must be the text the JSON library writes of the same
// document, which the page's readers and the tests' parsers were built against.
TEST(JsonText, WritesWhatTheLibraryWrites) {
    using Json = nlohmann::ordered_json;
    for (const std::string& s : std::vector<std::string>{"", "plain_name01", "a\"b\\c/d", "tab\there\n", std::string("nul\0in", 6), "\x7f", "caf\xc3\xa9", "bad\xff\xfe"}) {
        std::string out = "x";
        appendJsonString(out, s);
        EXPECT_EQ(out, "x" + Json(s).dump(-1, ' ', false, Json::error_handler_t::replace)) << s;
    }
    const auto pretty = [](const std::string& text) { return Json::parse(text).dump(1, ' ', false, Json::error_handler_t::replace) + "\n"; };
    RunRecord record;
    record.options = {{"jobs", int64_t(2)}, {"ide", true}};
    record.warn("report", "one \"quoted\" warning");
    EXPECT_EQ(manifestJson(record), pretty(manifestJson(record))) << "no files";
    record.files = {{"a.dff", 10, "00ff", std::string("A.IMG")}, {"b.ide", 0, "", std::nullopt}};
    EXPECT_EQ(manifestJson(record), pretty(manifestJson(record)));
    EXPECT_EQ(sheetJson({}), pretty(sheetJson({})));
    const std::vector<SheetCell> cells = {{"wall", 0, 4, 64, 32, true, "DXT3", 7}, {"\xc3\xa9", 68, 0, 8, 8, false, "", 0}};
    EXPECT_EQ(sheetJson(cells), pretty(sheetJson(cells)));
}

} // namespace
} // namespace veldrin
