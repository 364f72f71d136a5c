#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "RunFixture.h"
#include "app/batch/BatchTable.h"
#include "app/install/InstallRun.h"
#include "app/install/InstallText.h"
#include "app/install/StagedIndexFiles.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "inspect/CollisionRead.h"
#include "inspect/DffRead.h"
#include "inspect/ImgRead.h"
#include "install/GameLimits.h"
#include "install/Uninstall.h"
#include "support/CollisionBuilder.h"
#include "support/GameFolderBuilder.h"
#include "support/SampleLevels.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// The sample town in every edition, two of them named so their LOD names would clash, and a collision
// map of three objects on two models, in one folder as a Stories game's files lie.
fs::path storiesFiles(const fs::path& folder) {
    const std::pair<const char*, GameVersion> levels[] = {
        {"bar", GameVersion::LcsPs2}, {"bay", GameVersion::VcsPs2}, {"indust", GameVersion::LcsPsp}, {"beach", GameVersion::VcsPsp}};
    for (const auto& [name, edition] : levels) buildLevel(sampleTown(edition)).write(folder, name);
    TestDtz dtz;
    dtz.modelCount = 6;
    dtz.collisions = {{2, boxModel(1)}, {5, boxModel(3)}};
    dtz.buildings.instances = {placedAt(2, 10, 20, 5), placedAt(5, -4, 8, 2), placedAt(2, 30, 1, 0)};
    writeWholeFile(folder / "GAME.DTZ", buildDtz(dtz, StoriesEdition::LCS));
    writeWholeFile(folder / "GAME.IMG", buildColImg({}));
    return folder;
}

// The installed archive's entries by name, read back through the reader kit.
std::map<std::string, std::vector<uint8_t>> archiveEntries(const fs::path& folder, TargetGame target) {
    const std::vector<uint8_t> img = readWholeFile(folder / kInstallArchiveName);
    const std::vector<inspect::ImgEntry> entries = target == TargetGame::GtaSa
                                                       ? inspect::readVer2Entries(img, "veldrin.img")
                                                       : inspect::readDirEntries(readWholeFile(folder / kInstallArchiveDirectory), "veldrin.dir");
    std::map<std::string, std::vector<uint8_t>> byName;
    for (const inspect::ImgEntry& e : entries) {
        const auto bytes = inspect::entryBytes(img, e, "veldrin.img");
        EXPECT_TRUE(byName.emplace(e.name, std::vector<uint8_t>(bytes.begin(), bytes.end())).second) << "entry twice: " << e.name;
    }
    return byName;
}

// An entry is a file padded with zeros to whole sectors.
bool holdsFile(const std::vector<uint8_t>& entry, const std::vector<uint8_t>& file) {
    return entry.size() == (file.size() + 2047) / 2048 * 2048 && std::equal(file.begin(), file.end(), entry.begin()) &&
           std::all_of(entry.begin() + long(file.size()), entry.end(), [](uint8_t b) { return b == 0; });
}

fs::path gamePath(const fs::path& root, const std::string& line) {
    std::string path = line;
    std::replace(path.begin(), path.end(), '\\', '/');
    return root / path;
}

InstallRequest requestFor(const fs::path& game, const fs::path& sources) {
    InstallRequest r;
    r.colMapGame = StoriesEdition::LCS; // the levels are of both games: the map cannot tell by them
    r.gameDir = game;
    r.sources = {sources};
    r.options.editionAuto = true;
    return r;
}

} // namespace

// The sample levels of all four editions and a collision map installed into a made-up game folder of
// each target: every line added names a file that is there; every id is new to the game and used once;
// no model, dictionary or archive entry shares a name with the game's or another level's; each level's
// LOD prefix follows its model prefix; each level's files are what a conversion of that level alone
// with the plan's ids and names writes; every model has its collision record, and the collision map's
// objects are drawn by a model of one triangle of no area.
TEST(Install, SampleLevelsAndCollisionMapIntoEachTarget) {
    TempFolder sources("veldrin-install-src");
    storiesFiles(sources.path());
    for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaVc, TargetGame::GtaSa}) {
        SCOPED_TRACE(std::string(targetGameName(target)));
        TempFolder gameFolder("veldrin-install-game"), alone("veldrin-install-alone");
        const BuiltGameFolder game = buildGameFolder(gameFolder / "game", target);
        const InstallPlan plan = planInstall(requestFor(game.root, sources.path()));
        ASSERT_TRUE(plan.refusals().empty()) << installText::planText(plan);
        ASSERT_EQ(plan.levels.size(), 4u);
        ASSERT_TRUE(plan.colMap.has_value());
        const InstallResult result = runInstall(plan, {});
        const fs::path installed = game.root / "veldrin";

        for (const install::DataLine& line : result.lines)
            EXPECT_TRUE(fs::is_regular_file(gamePath(game.root, line.path))) << line.keyword << " " << line.path;
        const auto entries = archiveEntries(installed, target);
        for (const auto& [name, bytes] : entries) EXPECT_EQ(game.contents.archiveEntries.count(toLower(name)), 0u) << name;

        std::set<int> ids;
        std::set<std::string> models, dictionaries;
        std::vector<uint8_t> collision;
        for (const BatchLevel& level : plan.levels) {
            const ConversionOptions& o = level.options;
            SCOPED_TRACE(o.levelName);
            EXPECT_EQ(o.lodPrefix(), "LOD" + (o.modelPrefix.size() > 3 ? o.modelPrefix.substr(3) : ""));
            // The level alone, with the plan's ids and names, as convert writes it.
            ConversionOptions single = o;
            single.outputFolder = alone.path();
            single.buildImg = false;
            const RunResult run = runAndCollect(single);
            ASSERT_GT(run.summary.modelsConverted, 0);
            for (const std::string& file : filesIn(single.levelFolder())) {
                const std::vector<uint8_t> bytes = readWholeFile(single.levelFolder() / file);
                const std::string ext = toLower(fs::path(file).extension().string());
                if (ext == ".dff" || ext == ".txd") {
                    const std::string entry = fs::path(file).stem().string() + ext;
                    ASSERT_TRUE(entries.count(entry)) << entry;
                    EXPECT_TRUE(holdsFile(entries.at(entry), bytes)) << entry;
                } else if (ext == ".col") {
                    collision.insert(collision.end(), bytes.begin(), bytes.end());
                } else {
                    EXPECT_EQ(readWholeFile(installed / file), bytes) << file;
                }
            }
            for (const std::string& line : sectionLines(readLines(installed / (o.levelName + ".ide")), "objs")) {
                const std::vector<std::string> f = splitFields(line);
                const int id = std::stoi(f.at(0));
                EXPECT_TRUE(ids.insert(id).second) << line;
                EXPECT_EQ(game.contents.ids.count(id), 0u) << line;
                EXPECT_TRUE(models.insert(toLower(f.at(1))).second) << line;
                EXPECT_EQ(game.contents.modelNames.count(toLower(f.at(1))), 0u) << line;
                dictionaries.insert(toLower(f.at(2)));
            }
        }
        for (const std::string& d : dictionaries) EXPECT_EQ(game.contents.dictionaryNames.count(d), 0u) << d;

        // Every model line names a dictionary of the archive or of the game.
        std::set<std::string> held = game.contents.dictionaryNames;
        for (const auto& [name, bytes] : entries)
            if (toLower(fs::path(name).extension().string()) == ".txd") held.insert(toLower(fs::path(name).stem().string()));
        for (const install::DataLine& line : result.lines) {
            if (line.keyword != "IDE") continue;
            for (const std::string& objs : sectionLines(readLines(gamePath(game.root, line.path)), "objs"))
                EXPECT_EQ(held.count(toLower(splitFields(objs).at(2))), 1u) << line.path << ": " << objs;
        }

        // The collision map: its ids and names new too, each model invisible, each with its record.
        const std::vector<std::string> colMapObjs = sectionLines(readLines(installed / "colmap.ide"), "objs");
        EXPECT_EQ(colMapObjs.size(), 2u);
        for (const std::string& line : colMapObjs) {
            const std::vector<std::string> f = splitFields(line);
            EXPECT_TRUE(ids.insert(std::stoi(f.at(0))).second) << line;
            EXPECT_TRUE(models.insert(toLower(f.at(1))).second) << line;
            EXPECT_EQ(entries.count(f.at(2) + ".txd"), 1u) << "the install's own dictionary: " << line;
            const std::vector<uint8_t>& entry = entries.at(f.at(1) + ".dff");
            ASSERT_GE(entry.size(), 12u);
            const std::size_t clump = 12 + (entry[4] | entry[5] << 8 | entry[6] << 16 | std::size_t(entry[7]) << 24);
            ASSERT_LE(clump, entry.size());
            const inspect::DffModel dff = inspect::readDff(std::span(entry).first(clump), f.at(1));
            ASSERT_EQ(dff.geometries.size(), 1u);
            for (const auto& p : dff.geometries[0].positions) EXPECT_EQ(p, (std::array<float, 3>{0, 0, 0}));
            // Its material is untextured: no texture chunk for the game to look up.
            using namespace inspect::chunk_type;
            const inspect::ChunkNode& materials = dff.root.find(GeometryList).find(Geometry).find(MaterialList);
            for (const inspect::ChunkNode& material : materials.children)
                if (material.type == Material) {
                    EXPECT_FALSE(material.has(Texture)) << f.at(1);
                }
        }
        EXPECT_EQ(sectionLines(readLines(installed / "colmap.ipl"), "inst").size(), 3u);
        const std::vector<uint8_t> col = target == TargetGame::GtaSa ? entries.at(kInstallCollisionEntry)
                                                                     : readWholeFile(installed / kInstallCollisionFile);
        // The levels' records first, as a conversion writes them, then the collision map's.
        EXPECT_TRUE(std::equal(collision.begin(), collision.end(), col.begin())) << "levels' collision records";
        std::set<std::string> recordNames;
        for (const inspect::CollRecord& r : inspect::readCollisionFile(col, "veldrin collision", true)) recordNames.insert(toLower(r.name));
        for (const std::string& m : models) EXPECT_EQ(recordNames.count(m), 1u) << m;
    }
}

// Plans the game cannot take are refused before anything is written, naming each limit passed with
// its figures; a --target that disagrees with the game folder is refused; the folder stays as it was.
TEST(Install, RefusalsLeaveTheGameFolderAsItWas) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game");
    buildLevel(sampleTown(GameVersion::LcsPs2)).write(sources.path(), "town");
    struct Row {
        const char* what;
        TargetGame game;
        std::optional<int> idOffset;
        std::optional<TargetGame> target;
        const char* says;
    };
    const std::vector<Row> rows = {
        {"past GTA 3's model ids", TargetGame::Gta3, 5490, std::nullopt, "model ids (highest id + 1)"},
        {"past VC's model ids", TargetGame::GtaVc, 6480, std::nullopt, "model ids (highest id + 1)"},
        {"another target", TargetGame::GtaVc, std::nullopt, TargetGame::GtaSa, "disagrees with the game"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BuiltGameFolder game = buildGameFolder(gameFolder / row.what, row.game);
        const auto before = folderSnapshot(game.root);
        InstallRequest request = requestFor(game.root, sources.path() / "town.lvz");
        request.idOffset = row.idOffset;
        request.target = row.target;
        std::string refusal;
        try {
            const InstallPlan plan = planInstall(request);
            const std::vector<std::string> why = plan.refusals();
            ASSERT_EQ(why.size(), 1u);
            refusal = why[0];
            // The figure is the highest id + 1 against the limit, and the text says by how much.
            const int models = plan.levels.at(0).plannedModels;
            const long long figure = *row.idOffset + models;
            EXPECT_NE(refusal.find(install::limitNumberText(figure)), std::string::npos) << refusal;
            const long long limit = row.game == TargetGame::Gta3 ? 5500 : 6500;
            EXPECT_NE(refusal.find(install::limitNumberText(figure - limit)), std::string::npos) << refusal;
            EXPECT_THROW(runInstall(plan, {}), VeldrinError);
            request.allowOverLimits = true;
            EXPECT_TRUE(planInstall(request).refusals().empty());
        } catch (const VeldrinError& e) {
            refusal = e.what();
        }
        EXPECT_NE(refusal.find(row.says), std::string::npos) << refusal;
        EXPECT_EQ(folderSnapshot(game.root), before);
    }
}

// A level of more placements than GTA SA reads from one IPL file goes in as several files, each within
// the limit, whole (the sections after inst too) and named by an IPL line of the data file's block;
// together they hold every placement of the level once, as a conversion of the level alone writes them.
TEST(Install, PlacementsPastOneIplFileGoIntoSeveralForGtaSa) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game"), alone("veldrin-install-alone");
    SampleShape shape;
    shape.textures = 4;
    shape.models = 6;
    shape.pairs = 0;
    shape.instances = 9000;
    buildLevel(sampleTown(GameVersion::LcsPs2, shape)).write(sources.path(), "sprawl");
    const BuiltGameFolder game = buildGameFolder(gameFolder / "game", TargetGame::GtaSa);
    const InstallPlan plan = planInstall(requestFor(game.root, sources.path() / "sprawl.lvz"));
    ASSERT_TRUE(plan.refusals().empty()) << installText::planText(plan);
    const long long perFile = install::placementsPerIplFile(TargetGame::GtaSa);
    const int placements = plan.levels.at(0).plannedPlacements;
    ASSERT_GT(placements, 2 * perFile);
    const long long files = (placements + perFile - 1) / perFile;
    const std::string shown = install::limitNumberText(placements) + " in " + std::to_string(files) + " IPL files";
    EXPECT_NE(installText::planText(plan).find(shown), std::string::npos) << installText::planText(plan);
    EXPECT_EQ(plan.added.largestIplPlacements, perFile);

    const InstallResult result = runInstall(plan, {});
    const std::vector<std::string> dataFile = readLines(game.gameDataFile);
    std::multiset<std::string> installed;
    long long ipls = 0;
    for (const install::DataLine& line : result.lines) {
        if (line.keyword != "IPL") continue;
        ++ipls;
        EXPECT_EQ(std::count(dataFile.begin(), dataFile.end(), "IPL " + line.path), 1) << line.path;
        const std::vector<std::string> lines = readLines(gamePath(game.root, line.path));
        const std::vector<std::string> inst = sectionLines(lines, "inst");
        EXPECT_LE(long(inst.size()), perFile) << line.path;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "cull"), 1) << line.path;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "pick"), 1) << line.path;
        installed.insert(inst.begin(), inst.end());
    }
    EXPECT_EQ(ipls, files);

    ConversionOptions single = plan.levels[0].options;
    single.outputFolder = alone.path();
    single.buildImg = false;
    runAndCollect(single);
    const std::vector<std::string> written = sectionLines(readLines(single.levelFolder() / (single.levelName + ".ipl")), "inst");
    EXPECT_EQ(installed, std::multiset<std::string>(written.begin(), written.end()));
}

// An IPL past the placements per file is split in order; each piece keeps the head and the sections
// after inst, whose entries only the first piece holds; one within the limit stays as it is.
TEST(Install, SplitPlacementsKeepsEveryLineOnce) {
    const std::string ipl = "# town\r\ninst\r\na\r\nb\r\nc\r\nd\r\ne\r\nend\r\ncull\r\nzone\r\nend\r\npick\r\nend\r\n";
    const std::string tail = "end\r\ncull\r\nend\r\npick\r\nend\r\n";
    EXPECT_EQ(splitPlacements(ipl, 2, "town.ipl"),
              (std::vector<std::string>{"# town\r\ninst\r\na\r\nb\r\nend\r\ncull\r\nzone\r\nend\r\npick\r\nend\r\n",
                                        "# town\r\ninst\r\nc\r\nd\r\n" + tail, "# town\r\ninst\r\ne\r\n" + tail}));
    EXPECT_EQ(splitPlacements(ipl, 5, "town.ipl"), std::vector<std::string>{ipl});
    EXPECT_THROW(splitPlacements("inst\r\na\r\n", 2, "town.ipl"), VeldrinError);
}

// A level whose model lines would name no dictionary ("--txd none") is refused with the plan: the game
// would look for a dictionary that is not there. The folder stays as it was.
TEST(Install, ModelLinesNamingNoDictionaryAreRefused) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game");
    buildLevel(sampleTown(GameVersion::VcsPs2)).write(sources.path(), "town");
    const BuiltGameFolder game = buildGameFolder(gameFolder / "game", TargetGame::GtaVc);
    const auto before = folderSnapshot(game.root);
    InstallRequest request = requestFor(game.root, sources.path() / "town.lvz");
    request.options.txdMode = TxdMode::NoTxd;
    const InstallPlan plan = planInstall(request);
    ASSERT_EQ(plan.refusals().size(), 1u);
    EXPECT_NE(plan.refusals()[0].find("--txd none writes no texture dictionaries"), std::string::npos) << plan.refusals()[0];
    EXPECT_THROW(runInstall(plan, {}), VeldrinError);
    EXPECT_EQ(folderSnapshot(game.root), before);
}

// A stop asked at any point, from the first level's first model to the commit's last step, ends the
// install with the game folder as it was and no staging folder left.
TEST(Install, AStopAtAnyPointLeavesTheGameFolderAsItWas) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game");
    storiesFiles(sources.path());
    const BuiltGameFolder game = buildGameFolder(gameFolder / "game", TargetGame::GtaVc);
    const auto before = folderSnapshot(game.root);
    const InstallPlan plan = planInstall(requestFor(game.root, sources.path()));

    // How often a whole install asks, on a copy of the game.
    int polls = 0;
    {
        TempFolder copy("veldrin-install-copy");
        fs::copy(game.root, copy / "game", fs::copy_options::recursive);
        InstallCallbacks counting;
        counting.run.stopRequested = [&] { return ++polls < 0; };
        runInstall(planInstall(requestFor(copy / "game", sources.path())), counting);
    }
    ASSERT_GT(polls, 3);
    for (int stopAt : {1, 2, polls / 2, polls - 1, polls}) {
        SCOPED_TRACE(stopAt);
        int asked = 0;
        InstallCallbacks callbacks;
        callbacks.run.stopRequested = [&] { return ++asked >= stopAt; };
        EXPECT_THROW(runInstall(plan, callbacks), VeldrinError);
        EXPECT_EQ(folderSnapshot(game.root), before);
    }
}

// What keeps the game folder from taking an install is refused with the plan, before any level is
// converted: a data file the install may not write, lines of an earlier install left in it, a veldrin
// folder no install made, an earlier install changed since. The folder stays byte for byte as it was.
TEST(Install, TheGameFolderIsCheckedWithThePlan) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game");
    const fs::path town = buildLevel(sampleTown(GameVersion::LcsPs2)).write(sources.path(), "town");
    struct Row {
        const char* what;
        std::function<void(const BuiltGameFolder&)> prepare;
        const char* says;
    };
    const std::vector<Row> rows = {
        {"read-only data file", [](auto& g) { fs::permissions(g.gameDataFile, fs::perms::owner_write, fs::perm_options::remove); },
         "is read-only; allow writing to it"},
        {"a folder no install made", [](auto& g) { fs::create_directory(g.root / "veldrin"); }, "holds no install record of Veldrin"},
        {"lines of an earlier install outside a block", [](auto& g) { std::ofstream(g.gameDataFile, std::ios::app) << "IDE VELDRIN\\OLD.IDE\r\n"; },
         "still holds lines of an earlier install outside a complete marked block"},
        {"an install changed since",
         [&](auto& g) {
             runInstall(planInstall(requestFor(g.root, town)), {});
             writeWholeFile(g.root / "veldrin" / "town.ide", "edited");
         },
         "veldrin/town.ide of the earlier install were changed since"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BuiltGameFolder game = buildGameFolder(gameFolder / row.what, TargetGame::GtaVc);
        row.prepare(game);
        const auto before = folderSnapshot(game.root);
        const InstallPlan plan = planInstall(requestFor(game.root, town));
        const std::vector<std::string> why = plan.refusals();
        EXPECT_EQ(why.size(), 1u) << installText::planText(plan);
        EXPECT_NE(why.empty() ? std::string::npos : why[0].find(row.says), std::string::npos) << installText::planText(plan);
        EXPECT_THROW(runInstall(plan, {}), VeldrinError);
        EXPECT_EQ(folderSnapshot(game.root), before);
    }
}

// Names the game's files cannot hold are the install's to choose: a level whose file name has a blank
// or a letter outside ASCII gets an ASCII name of its own, free of the other levels'; one whose model
// names are too long for the game's fields gets a shorter model prefix; a level renamed for the game's
// own collision file is told so. The plan shows the names and the install goes in. A level name too
// long for its dictionary gets a shorter one, its row showing the level's own edition.
TEST(Install, NamesTheGameCannotHoldAreChosenForTheLevel) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game");
    const std::pair<const char*, GameVersion> levels[] = {{"Città", GameVersion::LcsPs2},
                                                          {"averyverylongtownname", GameVersion::VcsPsp},
                                                          {"indust", GameVersion::LcsPs2},
                                                          {"my town", GameVersion::LcsPsp},
                                                          {"my_town", GameVersion::LcsPs2}};
    for (const auto& [name, edition] : levels) buildLevel(sampleTown(edition)).write(sources.path(), name);
    const BuiltGameFolder game = buildGameFolder(gameFolder / "game", TargetGame::GtaVc);
    InstallRequest request = requestFor(game.root, sources.path());
    request.options.txdMode = TxdMode::TxdPerGroup;
    request.options.modelsPerTxd = 1; // dictionaries named after the models: only the model names are long
    const InstallPlan plan = planInstall(request);
    const std::string text = installText::planText(plan);
    ASSERT_TRUE(plan.refusals().empty()) << text;
    std::vector<std::string> names;
    for (const BatchLevel& l : plan.levels) names.push_back(l.options.levelName);
    EXPECT_EQ(names, (std::vector<std::string>{"citta", "averyverylongtownname", "indust_2", "my_town", "my_town_2"}));
    EXPECT_NE(text.find("Città.lvz is named citta: its file name cannot go into the game's files."), std::string::npos) << text;
    EXPECT_NE(text.find("my town.lvz is named my_town:"), std::string::npos) << text;
    EXPECT_EQ(alignedColumns({{"città", "x"}, {"town", "y"}}), "città  x\ntown   y\n"); // columns counted in letters, not bytes
    const BatchLevel& longNamed = plan.levels.at(1);
    EXPECT_NE(text.find(prefixText(longNamed.options)), std::string::npos) << text;
    ASSERT_EQ(longNamed.planWarnings.size(), 1u);
    EXPECT_NE(longNamed.planWarnings[0].text.find("is too long for the game's name fields"), std::string::npos) << longNamed.planWarnings[0].text;
    ASSERT_EQ(plan.levels.at(2).planWarnings.size(), 1u);
    EXPECT_NE(plan.levels.at(2).planWarnings[0].text.find("since the game's archives hold a collision file indust.col"), std::string::npos)
        << plan.levels.at(2).planWarnings[0].text;

    runInstall(plan, {});
    for (const BatchLevel& l : plan.levels)
        for (const std::string& line : sectionLines(readLines(game.root / "veldrin" / (l.options.levelName + ".ide")), "objs"))
            EXPECT_LE(splitFields(line).at(1).size(), kMaxColModelNameLength) << line;

    request.sources = {sources.path() / "averyverylongtownname.lvz"};
    request.options = {};
    request.options.editionAuto = true;
    // Its one dictionary, named after the level, would pass the archive's entry names: the level gets a
    // shorter name, shown with its own edition.
    const InstallPlan shortened = planInstall(request);
    EXPECT_TRUE(shortened.refusals().empty());
    const std::string& name = shortened.levels.at(0).options.levelName;
    EXPECT_LE(name.size() + std::string("TXD.txd").size(), kMaxImgEntryNameLength) << name;
    EXPECT_NE(installText::planText(shortened).find(name + "  vcs-psp (detected)  "), std::string::npos)
        << installText::planText(shortened);
}

// Installing over an install replaces it, and the plan says what it replaces; an option the game does
// nothing with is told once for the install, not once per level.
TEST(Install, ThePlanNamesTheInstallItReplaces) {
    TempFolder sources("veldrin-install-src"), gameFolder("veldrin-install-game");
    storiesFiles(sources.path());
    const BuiltGameFolder game = buildGameFolder(gameFolder / "game", TargetGame::Gta3);
    InstallRequest request = requestFor(game.root, sources.path());
    request.options.genMipMaps = true;
    const InstallPlan first = planInstall(request);
    EXPECT_FALSE(first.earlier.has_value());
    int idleWarnings = 0;
    InstallCallbacks callbacks;
    callbacks.run.warning = [&](WarningKind kind, const std::string&) { idleWarnings += kind == WarningKind::IdleOption; };
    runInstall(first, callbacks);
    EXPECT_EQ(idleWarnings, 1);

    const install::InstallStatus status = install::installStatus(install::recogniseGameFolder(game.root));
    const InstallPlan second = planInstall(request);
    ASSERT_TRUE(second.earlier.has_value());
    EXPECT_EQ(second.earlier->version, status.version);
    EXPECT_TRUE(second.earlier->collisionMap);
    EXPECT_EQ(second.earlier->files, status.files.size());
    std::string levels;
    for (const BatchLevel& l : first.levels) levels += (levels.empty() ? "" : ", ") + l.options.levelName;
    const std::string replaces = "Replaces the earlier install (Veldrin " + status.version + ": levels " + levels +
                                 "; the collision map; " + std::to_string(status.files.size()) + " files)\n";
    EXPECT_NE(installText::planText(second).find(replaces), std::string::npos) << installText::planText(second);
    EXPECT_TRUE(second.refusals().empty());
    EXPECT_NO_THROW(runInstall(second, {}));
}
