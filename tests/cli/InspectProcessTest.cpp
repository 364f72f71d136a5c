#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "base/FileIO.h"
#include "inspect/ImgRead.h"
#include "support/GameFolderBuilder.h"
#include "support/LevelBuilder.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

nlohmann::json inspectJson(const std::filesystem::path& file) {
    const CliRun r = runCli("inspect " + file.string() + " --json");
    EXPECT_EQ(r.status, 0) << r.out;
    return nlohmann::json::parse(r.out);
}

} // namespace

// The files of one conversion, listed as JSON: each kind told by content, the counts those of the files.
TEST(InspectProcess, ListsEveryKindOfFileAConversionWrites) {
    TempFolder dir("veldrin-cli");
    const auto lvz = buildLevel(sampleTown(GameVersion::LcsPs2)).write(dir.path(), "town");
    for (const char* target : {"vc", "sa"}) {
        SCOPED_TRACE(target);
        const auto out = dir / target;
        ASSERT_EQ(runCli("convert " + lvz.string() + " --target " + target + " --ide --img --blank-col -o " + out.string()).status, 0);
        const auto folder = out / "town";
        const bool sa = std::string(target) == "sa";
        const nlohmann::json img = inspectJson(folder / "TOWN.IMG");
        EXPECT_EQ(img["kind"], "IMG");
        EXPECT_EQ(img["layout"], sa ? "VER2" : "IMG with DIR");
        const std::vector<inspect::ImgEntry> entries =
            sa ? inspect::readVer2Entries(readWholeFile(folder / "TOWN.IMG"), "IMG")
               : inspect::readDirEntries(readWholeFile(folder / "TOWN.DIR"), "DIR");
        ASSERT_EQ(img["entries"].size(), entries.size());
        EXPECT_EQ(img["entries"][0]["name"], entries[0].name);
        EXPECT_EQ(img["entries"][0]["size"], entries[0].sectors * 2048);

        const nlohmann::json ide = inspectJson(folder / "town.ide");
        EXPECT_EQ(ide["kind"], "IDE");
        EXPECT_EQ(ide["sections"][0]["section"], "objs");
        const nlohmann::json ipl = inspectJson(folder / "town.ipl");
        EXPECT_EQ(ipl["kind"], "IPL");
        EXPECT_EQ(ipl["sections"][0]["section"], "inst");
        EXPECT_GT(ipl["sections"][0]["lines"].get<int>(), 0);
        if (!sa) {
            // Each placed model has one blank collision record.
            const nlohmann::json col = inspectJson(folder / "town.col");
            EXPECT_EQ(col["kind"], "COL");
            EXPECT_EQ(col["records"].size(), ide["sections"][0]["lines"].get<std::size_t>());
            EXPECT_EQ(col["records"][0]["format"], "COLL");
        }
        // A model cut out of the archive: the chunk tree, its sector padding after the clump.
        const std::vector<uint8_t> archive = readWholeFile(folder / "TOWN.IMG");
        const auto model = inspect::entryBytes(archive, entries[0], "IMG");
        writeWholeFile(dir / "model.bin", model);
        const nlohmann::json dff = inspectJson(dir / "model.bin");
        EXPECT_EQ(dff["kind"], "DFF");
        EXPECT_EQ(dff["chunks"][0]["name"], "Clump");
        EXPECT_EQ(dff["chunks"][0]["version"], sa ? "3.6.0.3" : "3.3.0.2");
    }
}

// Names in the games' own code page, not UTF-8, list as JSON one byte to a character (Latin-1): each
// turns back into the bytes the file holds.
TEST(InspectProcess, NamesThatAreNotUtf8ListByteForByte) {
    TempFolder dir("veldrin-cli");
    const auto [directory, archive] = dirArchive({{"caf\xE9.dff", std::vector<uint8_t>(2048, 1)}});
    writeWholeFile(dir / "odd.dir", directory);
    writeWholeFile(dir / "odd.img", archive);
    writeWholeFile(dir / "odd2.img", ver2Archive({{"\xFFtown.txd", std::vector<uint8_t>(2048, 1)}}));
    writeWholeFile(dir / "odd.ide", std::string("objs\n1, a, b, 1, 100, 0\nend\n\xE9t\xE9\nend\n"));
    struct Row {
        const char* file;
        const char* list;
        std::size_t index;
        const char* field;
        std::string name; // UTF-8
    };
    const Row rows[] = {
        {"odd.img", "entries", 0, "name", "caf\u00e9.dff"},
        {"odd2.img", "entries", 0, "name", "\u00fftown.txd"},
        {"odd.ide", "sections", 1, "section", "\u00e9t\u00e9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        const nlohmann::json listing = inspectJson(dir / row.file);
        ASSERT_GT(listing[row.list].size(), row.index);
        EXPECT_EQ(listing[row.list][row.index][row.field], row.name);
    }
}

TEST(InspectProcess, DamagedOrUnknownFilesAreRefusedWithTheirName) {
    TempFolder dir("veldrin-cli");
    const std::string d = dir.path().string() + "/";
    writeWholeFile(dir / "short.dir", std::string(33, 'x'));
    writeWholeFile(dir / "a.img", std::string(2048, '\0'));
    writeWholeFile(dir / "a.dir", std::string("\0\0\0\0\x02\0\0\0a.dff\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 32));
    writeWholeFile(dir / "b.img", std::string(2048, '\0'));
    writeWholeFile(dir / "x.bin", std::string("\x01\x02\x03\x04\x05", 5));
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"inspect " + d + "short.dir", 1, d + "short.dir: 33 bytes is not a whole number of 32-byte directory entries"},
        {"inspect " + d + "a.img", 1,
         d + "a.img: entry 0 \"a.dff\" (sectors 0 to 2) ends at byte 4096, past the archive's 2048 bytes"},
        {"inspect " + d + "b.img", 1,
         d + "b.img: does not open with VER2 and has no .DIR of the same name beside it; inspect the .DIR, or put it beside the IMG"},
        {"inspect " + d + "x.bin", 1,
         d + "x.bin: cannot tell what this file holds; it reads as none of DFF, TXD, COL, IMG, DIR, IDE or IPL and its "
             "extension names none of them"},
        {"inspect " + d + "none.dff", 1, d + "none.dff: no such file"},
        {"inspect", 2, "usage: veldrin-cli inspect [OPTIONS]...; see \"veldrin-cli inspect --help\""},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_EQ(lastLine(r.out), c.message) << c.args;
    }
}
