// A level's pictures before converting: every link resolves, the sheet's cells hold the level's
// textures, thumbnails show their models, the map and the counts agree with what a conversion then
// writes, and the folder does not depend on the thread count.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <regex>
#include <set>

#include "RunFixture.h"
#include "app/run/LevelReport.h"
#include "base/FileIO.h"
#include "level/WorldReader.h"
#include "report/LevelPictures.h"
#include "report/PngReader.h"
#include "report/Thumbnail.h"
#include "support/SampleLevels.h"
#include "support/TempFolder.h"

namespace veldrin {
namespace {

using Json = nlohmann::json;

Json readJson(const std::filesystem::path& path) {
    const auto bytes = readWholeFile(path);
    return Json::parse(bytes.begin(), bytes.end());
}

std::map<std::string, std::vector<uint8_t>> folderFiles(const std::filesystem::path& folder) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (e.is_regular_file()) files[std::filesystem::relative(e.path(), folder).string()] = readWholeFile(e.path());
    return files;
}

TEST(LevelReport, PicturesOfEveryEditionAgreeWithTheConversion) {
    for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp}) {
        SCOPED_TRACE(std::string(editionName(edition)));
        test::TempFolder temp("report");
        ConversionOptions options = test::optionsFor(test::buildLevel(test::sampleTown(edition)).write(temp.path(), "town"), edition);
        options.generateIde = true;
        const LevelBuffer level = loadLevel(options.lvzPath, options.imgPath);
        const WorldTables tables = readWorld(level, edition);

        std::map<std::string, std::vector<uint8_t>> byJobs[2];
        for (int jobs : {1, 2}) {
            options.jobs = jobs;
            const auto folder = temp / ("jobs" + std::to_string(jobs));
            writeLevelReport(folder, options, level, tables, nullptr, false);
            byJobs[jobs - 1] = folderFiles(folder);
        }
        // The pictures do not depend on the thread count (the record names it, so the page and manifest do).
        for (auto& files : byJobs) files.erase("manifest.json"), files.erase("index.html");
        ASSERT_EQ(byJobs[0].size(), byJobs[1].size());
        for (const auto& [name, bytes] : byJobs[0]) EXPECT_TRUE(bytes == byJobs[1][name]) << name;
        const auto folder = temp / "jobs2";

        // Every relative link of the page names a file of the folder or beside it; an anchor, a part of the page.
        const std::vector<uint8_t> pageBytes = readWholeFile(folder / "index.html");
        const std::string page(pageBytes.begin(), pageBytes.end());
        const std::regex link("(?:src|href)=\"([^\"]+)\"");
        int links = 0;
        for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it, ++links)
        {
            const std::string target = (*it)[1].str();
            if (target.starts_with("#")) EXPECT_NE(page.find("id=\"" + target.substr(1) + "\""), std::string::npos) << target;
            else EXPECT_TRUE(std::filesystem::exists(folder / target)) << target;
        }
        EXPECT_GT(links, 3);

        const Json manifest = readJson(folder / "manifest.json");
        EXPECT_EQ(manifest["counts"]["warnings"], 0) << manifest["warnings"].dump();

        // The sheet holds each texture as the level decodes it.
        const Json cells = readJson(folder / "textures/TOWNTXD.json")["textures"];
        EXPECT_EQ(int(cells.size()), manifest["counts"]["textures"].get<int>());
        ASSERT_GT(cells.size(), 0u);
        const RgbaImage sheet = test::readPngFile(folder / "textures/TOWNTXD.png");
        for (const Json& c : cells) {
            const int id = std::stoi(c["name"].get<std::string>().substr(4));
            const ResourceEntry& e = tables.resources.at(std::size_t(id));
            const RgbaImage texture = decodeLevelTexture(level.all(), {id, e.position, e.base}, edition);
            ASSERT_EQ(c["width"], texture.width);
            ASSERT_EQ(c["height"], texture.height);
            for (int y = 0; y < texture.height; ++y)
                ASSERT_EQ(0, std::memcmp(sheet.at(c["x"], c["y"].get<int>() + y), texture.at(0, y), std::size_t(texture.width) * 4))
                    << c["name"] << " row " << y;
        }

        // A thumbnail per model, each showing more than one colour.
        int thumbnails = 0;
        for (const auto& [name, bytes] : byJobs[1]) {
            if (name.rfind("models/", 0) != 0 || name.find(".json") == std::string::npos) continue;
            const RgbaImage sheet = test::readPngFile(folder / (name.substr(0, name.size() - 5) + ".png"));
            const Json models = readJson(folder / name)["models"];
            for (const Json& c : models) {
                ++thumbnails;
                ASSERT_EQ(c["width"], kThumbnailSize);
                ASSERT_LE(c["x"].get<int>() + kThumbnailSize, sheet.width);
                ASSERT_LE(c["y"].get<int>() + kThumbnailSize, sheet.height);
                std::set<uint32_t> colours;
                for (int y = 0; y < kThumbnailSize; ++y) {
                    for (int x = 0; x < kThumbnailSize; ++x) {
                        uint32_t v;
                        std::memcpy(&v, sheet.at(c["x"].get<int>() + x, c["y"].get<int>() + y), 4);
                        colours.insert(v);
                    }
                }
                EXPECT_GT(colours.size(), 2u) << c["name"];
            }
        }
        EXPECT_EQ(thumbnails, manifest["counts"]["models"].get<int>());

        // What the pictures show is what a conversion writes.
        const test::RunResult run = test::runAndCollect(options);
        EXPECT_EQ(manifest["counts"]["models"], run.summary.modelsConverted);
        EXPECT_EQ(readJson(folder / "map.json")["points"], run.summary.instancesWritten);
        EXPECT_EQ(manifest["counts"]["placements"], run.summary.instancesWritten);
        EXPECT_EQ(manifest["converted"], false);
    }
}

} // namespace
} // namespace veldrin
