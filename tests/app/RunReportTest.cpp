// The report of a whole conversion, checked against what the run left on disk: the manifest's file
// list against the files and the archive directory (sizes and hashes), each sheet against its
// dictionary decoded back from disk, the map against the IPL, and the page in a real browser.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <cstring>

#include "RunFixture.h"
#include "base/FileIO.h"
#include "report/PngReader.h"
#include "report/Sha256.h"
#include "support/SampleLevels.h"
#include "texture/DictionaryDecoder.h"

using namespace veldrin;
using namespace veldrin::test;

namespace {

using Json = nlohmann::json;

Json readJson(const std::filesystem::path& path) {
    const auto bytes = readWholeFile(path);
    return Json::parse(bytes.begin(), bytes.end());
}

} // namespace

TEST(RunReport, EveryEditionAndTargetReportsWhatItWrote) {
    for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp}) {
        for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa}) {
            SCOPED_TRACE(std::string(editionName(edition)) + " to " + std::string(targetGameName(target)));
            TempFolder dir("veldrin-report");
            ConversionOptions o = optionsFor(buildLevel(sampleTown(edition)).write(dir.path(), "town"), edition);
            o.targetGame = target;
            o.generateIde = true;
            o.genBlankCol = true;
            o.buildImg = target != TargetGame::GtaVc; // loose files for VC, archives for the others
            o.txdMode = TxdMode::TxdPerGroup;
            o.modelsPerTxd = 10;
            o.mapOffset = {100, -50, 0};
            o.jobs = 2;
            o.writeReport = true;
            o.reportThumbnails = target == TargetGame::GtaSa;
            const RunResult run = runAndCollect(o);

            const std::filesystem::path report = run.summary.reportFolder;
            ASSERT_EQ(report, o.outputFolder / "town-report");
            const Json manifest = readJson(report / "manifest.json");
            EXPECT_EQ(manifest["options"]["target"], std::string(targetGameName(target)));
            EXPECT_EQ(manifest["level"]["edition"], std::string(editionName(edition)));
            EXPECT_EQ(manifest["counts"]["models"], run.summary.modelsConverted);
            EXPECT_EQ(manifest["counts"]["warnings"], static_cast<int>(run.warnings.size()));

            // The file list: every file of the level folder and every archive entry, sizes and hashes.
            const auto disk = filesOnDisk(o.levelFolder(), "TOWN", target, o.buildImg);
            std::set<std::string> listed;
            for (const Json& f : manifest["files"]) {
                const std::string key = f["archive"].is_null() ? f["name"].get<std::string>()
                                                               : f["archive"].get<std::string>() + "/" + f["name"].get<std::string>();
                listed.insert(key);
                ASSERT_TRUE(disk.count(key)) << key;
                const std::vector<uint8_t>& bytes = disk.at(key);
                const auto size = f["bytes"].get<std::size_t>();
                ASSERT_LE(size, bytes.size()) << key;
                if (f["archive"].is_null()) EXPECT_EQ(size, bytes.size()) << key;
                else EXPECT_EQ((size + 2047) / 2048 * 2048, bytes.size()) << key << " fills whole sectors";
                EXPECT_EQ(f["sha256"], sha256Hex(std::span(bytes).first(size))) << key;
            }
            for (const auto& [key, bytes] : disk) EXPECT_TRUE(listed.count(key)) << key << " is missing from the manifest";

            // Each sheet holds its dictionary as decoded back from the disk.
            int sheets = 0;
            for (const Json& f : manifest["files"]) {
                const std::string name = f["name"];
                if (name.size() < 4 || (name.substr(name.size() - 4) != ".TXD" && name.substr(name.size() - 4) != ".txd")) continue;
                ++sheets;
                const std::string key = f["archive"].is_null() ? name : f["archive"].get<std::string>() + "/" + name;
                const auto textures = decodeDictionary(disk.at(key), key);
                const std::string stem = name.substr(0, name.size() - 4);
                const Json cells = readJson(report / "textures" / (stem + ".json"))["textures"];
                const RgbaImage sheet = readPngFile(report / "textures" / (stem + ".png"));
                ASSERT_EQ(cells.size(), textures.size()) << stem;
                for (std::size_t i = 0; i < textures.size(); ++i) {
                    const Json& c = cells[i];
                    ASSERT_EQ(c["name"], textures[i].name);
                    ASSERT_EQ(c["alpha"], textures[i].hasAlpha);
                    for (int y = 0; y < textures[i].height; ++y)
                        ASSERT_EQ(0, std::memcmp(sheet.at(c["x"], c["y"].get<int>() + y), &textures[i].rgba[std::size_t(y * textures[i].width) * 4],
                                                 std::size_t(textures[i].width) * 4));
                }
            }
            EXPECT_EQ(sheets, run.summary.dictionaries);

            // Model pictures only when asked for: one cell per converted model then, none otherwise.
            std::size_t thumbnails = 0;
            if (std::filesystem::exists(report / "models"))
                for (const std::string& name : filesIn(report / "models"))
                    if (name.ends_with(".json")) thumbnails += readJson(report / "models" / name)["models"].size();
            EXPECT_EQ(thumbnails, o.reportThumbnails ? std::size_t(run.summary.modelsConverted) : 0u);

            // The map draws one point per IPL line.
            const auto inst = sectionLines(readLines(o.levelFolder() / "town.ipl"), "inst");
            EXPECT_EQ(readJson(report / "map.json")["points"], static_cast<int>(inst.size()));
            EXPECT_GT(inst.size(), 0u);
        }
    }
}

TEST(RunReport, ThePageLoadsInABrowserWithoutErrors) {
    TempFolder dir("veldrin-report-page");
    ConversionOptions o = optionsFor(buildLevel(sampleTown(GameVersion::VcsPs2)).write(dir.path(), "town"), GameVersion::VcsPs2);
    o.targetGame = TargetGame::GtaSa;
    o.generateIde = true;
    o.buildImg = true;
    o.writeReport = true;
    writeWholeFile(dir / "MAP.ZON", std::string_view("zone\nA, 0, -9000, -9000, -90, 9000, 9000, 90, 1\nend\n"));
    o.zonPath = dir / "MAP.ZON";
    o.useZon = true;
    o.zonIsland = 2; // no zone there: a warning the page explains
    o.forceMegaLods = true;
    const RunResult run = runAndCollect(o);
    ASSERT_FALSE(run.warnings.empty());
    const std::string command = "python3 \"" VELDRIN_PAGE_CHECK "\" \"" + run.summary.reportFolder.string() + "\"";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no Chromium installed; scripts/test.sh installs it";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the FAIL lines above";
}
