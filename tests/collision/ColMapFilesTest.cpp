#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "inspect/CollisionRead.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "collision/ColMapFiles.h"
#include "support/CollisionBuilder.h"
#include "support/LevelBuilder.h"
#include "support/TempFolder.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

TestDtz smallMap() {
    TestColModel box;
    box.boxes.resize(1);
    box.vertices.resize(1);
    TestDtz dtz;
    dtz.modelCount = 4;
    dtz.collisions = {{2, box}};
    TestDtzInstance instance;
    instance.model = 2;
    dtz.buildings.instances = {instance};
    return dtz;
}

std::string refusal(const ColMapPaths& paths, const ColMapOptions& options = {}) {
    try {
        runColMapConverter(paths, options);
    } catch (const VeldrinError& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(ColMapFiles, WritesIntoColmapBesideTheDtzAndEndsWithDone) {
    TempFolder dir("veldrin-colmap");
    writeWholeFile(dir / "GAME.DTZ", buildDtz(smallMap(), StoriesEdition::LCS));
    writeWholeFile(dir / "GTA3PS2.IMG", std::vector<uint8_t>(4096, 0));
    writeWholeFile(dir / "blank.dff", std::vector<uint8_t>(10, 7));
    ColMapPaths paths{dir / "GAME.DTZ", dir / "GTA3PS2.IMG", dir / "blank.dff", {}};
    std::vector<std::string> statuses;
    ColCallbacks callbacks;
    callbacks.status = [&](const std::string& t) { statuses.push_back(t); };
    const ColMapSummary summary = runColMapConverter(paths, {}, callbacks);
    EXPECT_EQ(summary.models, 1);
    EXPECT_EQ(summary.instances, 1);
    EXPECT_EQ(statuses.back(), "Done!");
    for (const char* name : {"ColMap.col", "ColMap.IDE", "ColMap.IPL", "COLMAP.IMG", "COLMAP.DIR"})
        EXPECT_TRUE(fs::is_regular_file(dir / "colmap" / name)) << name;
    EXPECT_EQ(inspect::readCollisionFile(readWholeFile(dir / "colmap" / "ColMap.col"), "col").at(0).name, "colmap2");

    // Another output base; the SA archive takes the collision, so no ColMap.col and no directory.
    ColMapOptions sa;
    sa.target = TargetGame::GtaSa;
    paths.outputBase = dir / "out";
    runColMapConverter(paths, sa);
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "colmap" / "COLMAP.IMG"));
    EXPECT_FALSE(fs::exists(dir / "out" / "colmap" / "ColMap.col"));
    EXPECT_FALSE(fs::exists(dir / "out" / "colmap" / "COLMAP.DIR"));
}

TEST(ColMapFiles, RefusedRunsWriteNothing) {
    TempFolder dir("veldrin-colmap");
    const fs::path img = dir / "GTA3PS2.IMG";
    writeWholeFile(img, std::vector<uint8_t>(2048, 0));
    EXPECT_EQ(refusal({dir / "GAME.DTZ", img, {}, {}}), "Invalid DTZ file");
    writeWholeFile(dir / "GAME.DTZ", buildDtz(smallMap(), StoriesEdition::VCS));
    EXPECT_EQ(refusal({dir / "GAME.DTZ", dir / "missing.IMG", {}, {}}), "Invalid IMG file");
    EXPECT_EQ(refusal({dir / "GAME.DTZ", dir.path(), {}, {}}), "Invalid IMG file"); // a folder is no file

    // A DTZ whose model lies outside it: refused after reading, before anything is written.
    std::vector<uint8_t> data = buildDtzData(smallMap(), StoriesEdition::VCS);
    data.resize(data.size() - 200);
    writeWholeFile(dir / "GAME.DTZ", deflateBytes(data));
    EXPECT_NE(refusal({dir / "GAME.DTZ", img, {}, {}}), "accepted");
    EXPECT_FALSE(fs::exists(dir / "colmap"));

    // A blank DFF that names no file leaves the run without an archive, with a warning.
    writeWholeFile(dir / "GAME.DTZ", buildDtz(smallMap(), StoriesEdition::VCS));
    ColMapOptions vcs;
    vcs.edition = StoriesEdition::VCS;
    std::vector<std::string> warnings;
    ColCallbacks callbacks;
    callbacks.warning = [&](const std::string& t) { warnings.push_back(t); };
    EXPECT_EQ(runColMapConverter({dir / "GAME.DTZ", img, dir / "none.dff", {}}, vcs, callbacks).warnings, 1);
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_FALSE(fs::exists(dir / "colmap" / "COLMAP.IMG"));
    EXPECT_TRUE(fs::exists(dir / "colmap" / "ColMap.col"));
}
