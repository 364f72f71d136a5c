#include <gtest/gtest.h>

#include <map>

#include <nlohmann/json.hpp>

#include "RunFixture.h"
#include "app/batch/BatchLevels.h"
#include "app/batch/BatchRun.h"
#include "app/batch/BatchSummary.h"
#include "app/batch/BatchTable.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "support/SampleLevels.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// `models` models on texture 0, each placed once; `bare` more models without materials (never converted).
SmallLevel levelOf(GameVersion edition, int models, int bare = 0) {
    SmallLevel l;
    l.edition = edition;
    for (int m = 0; m < models + bare; ++m) {
        SmallLevel::Model model;
        model.noMaterials = m >= models;
        l.models.push_back(model);
        l.instances.push_back({m + 1, m});
    }
    return l;
}

std::map<std::string, std::vector<uint8_t>> folderBytes(const fs::path& folder) {
    std::map<std::string, std::vector<uint8_t>> bytes;
    for (const std::string& name : filesIn(folder)) bytes[name] = readWholeFile(folder / name);
    return bytes;
}

BatchSettings ideSettings(const fs::path& out) {
    BatchSettings s;
    s.options.generateIde = true;
    s.options.idOffset = 1000;
    s.outputFolder = out;
    return s;
}

std::vector<BatchLevelResult> runQuietly(std::vector<BatchLevel> plan, bool clean,
                                         std::vector<std::string>* warnings = nullptr) {
    for (BatchLevel& level : plan) level.options.clean = clean;
    BatchCallbacks cb;
    cb.run.warning = [&](WarningKind, const std::string& w) {
        if (warnings) warnings->push_back(w);
    };
    return runBatch(plan, cb);
}

} // namespace

TEST(BatchLevels, FolderGivesItsLevelsInNameOrderAnyCaseOnce) {
    TempFolder dir("veldrin-batch");
    for (const char* name : {"b.lvz", "A.LVZ", "c.Lvz", "notes.txt", "b.IMG"}) writeWholeFile(dir / name, std::string("x"));
    fs::create_directory(dir / "sub.lvz");
    const std::vector<fs::path> levels = batchLevelFiles({dir.path(), dir / "b.lvz", dir / "missing.lvz"});
    EXPECT_EQ(levels, (std::vector<fs::path>{dir / "A.LVZ", dir / "b.lvz", dir / "c.Lvz", dir / "missing.lvz"}));

    TempFolder empty("veldrin-batch");
    writeWholeFile(empty / "readme.txt", std::string("x"));
    EXPECT_THROW(batchLevelFiles({empty.path()}), VeldrinError);
}

// A batch over levels of every edition, each detected, writes level by level exactly what a run of that
// level alone in its edition with the planned ID offset writes.
TEST(BatchRun, EachLevelIsByteForByteItsOwnRunAtThePlannedOffset) {
    struct Row {
        const char* file;
        GameVersion edition;
        int models, bare;
        int firstId;
        const char* ids;
    };
    const std::vector<Row> rows = {
        {"alpha.lvz", GameVersion::VcsPsp, 3, 1, 1000, "1000-1002"},
        {"beta.LVZ", GameVersion::LcsPs2, 1, 2, 1003, "1003-1003"},
        {"delta.lvz", GameVersion::VcsPs2, 4, 0, 1004, "1004-1007"},
        {"gamma.lvz", GameVersion::LcsPsp, 2, 0, 1008, "1008-1009"},
    };
    TempFolder in("veldrin-batch-in"), out("veldrin-batch-out"), alone("veldrin-batch-alone");
    for (const Row& row : rows) {
        buildLevel(levelOf(row.edition, row.models, row.bare).describe()).write(in.path(), fs::path(row.file).stem().string());
        fs::rename(in / (fs::path(row.file).stem().string() + ".lvz"), in / row.file);
    }
    BatchSettings settings = ideSettings(out.path());
    settings.options.txdMode = TxdMode::TxdPerGroup;
    settings.options.modelsPerTxd = 2;
    settings.options.editionAuto = true;

    const std::vector<BatchLevel> plan = planBatch(batchLevelFiles({in.path()}), settings);
    const std::vector<BatchLevelResult> results = runQuietly(plan, false);
    ASSERT_EQ(results.size(), rows.size());
    EXPECT_TRUE(batchSucceeded(results));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const BatchLevelResult& r = results[i];
        SCOPED_TRACE(row.file);
        EXPECT_EQ(r.level.options.lvzPath, in / row.file);
        EXPECT_EQ(r.level.options.edition, row.edition);
        EXPECT_EQ(r.level.options.idOffset, row.firstId);
        EXPECT_EQ(idRangeText(r), row.ids);

        ConversionOptions single = optionsFor(in / row.file, row.edition);
        single.generateIde = true;
        single.idOffset = row.firstId;
        single.txdMode = TxdMode::TxdPerGroup;
        single.modelsPerTxd = 2;
        single.outputFolder = alone.path();
        runAndCollect(single);
        const auto batchBytes = folderBytes(out / r.level.options.levelName);
        EXPECT_FALSE(batchBytes.empty());
        EXPECT_EQ(batchBytes, folderBytes(alone / r.level.options.levelName));
    }
}

// A level that cannot be read fails in the plan and reserves nothing; one that fails while converting
// keeps its planned range; the others convert and the table names each failure with its reason.
TEST(BatchRun, FailedLevelsAreReportedAndTheBatchGoesOn) {
    TempFolder in("veldrin-batch-in"), out("veldrin-batch-out");
    for (const char* name : {"a", "c", "d"}) buildLevel(levelOf(GameVersion::LcsPs2, 3).describe()).write(in.path(), name);
    writeWholeFile(in / "b.lvz", std::string("this is not a level"));
    writeWholeFile(in / "b.IMG", std::string("nor this"));
    writeWholeFile(out / "c", std::string("a file where the level folder should go"));

    const std::vector<BatchLevel> plan = planBatch(batchLevelFiles({in.path()}), ideSettings(out.path()));
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_NE(plan[1].failure.find("not a valid zlib stream"), std::string::npos) << plan[1].failure;
    EXPECT_NE(batchPlanText(plan).find("cannot convert: "), std::string::npos);

    const std::vector<BatchLevelResult> results = runQuietly(plan, false);
    const std::vector<std::pair<LevelOutcome, std::string>> expected = {
        {LevelOutcome::Converted, "1000-1002"}, {LevelOutcome::Failed, "-"}, {LevelOutcome::Failed, "-"},
        {LevelOutcome::Converted, "1006-1008"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(results[i].outcome, expected[i].first);
        EXPECT_EQ(idRangeText(results[i]), expected[i].second);
    }
    EXPECT_EQ(results[2].level.options.idOffset, 1003); // printed, so a rerun of c alone fits
    EXPECT_FALSE(batchSucceeded(results));
    EXPECT_TRUE(fs::exists(out / "d" / "d.ide"));

    const std::string table = batchResultTable(results);
    for (const char* name : {"b", "c"}) {
        const std::string line = "\n" + std::string(name) + " ";
        const std::size_t at = table.find(line);
        ASSERT_NE(at, std::string::npos) << table;
        const std::string row = table.substr(at + 1, table.find('\n', at + 1) - at - 1);
        EXPECT_NE(row.find("failed: "), std::string::npos) << row;
        EXPECT_NE(row.find(results[name[0] - 'a'].reason), std::string::npos) << row;
    }
}

// Files of earlier runs: named in one warning without --clean; removed with it, and nothing outside the
// level's own folder is ever touched, even when the folder is a link or holds an input of the batch.
TEST(BatchRun, StaleFilesWarnOrAreCleanedInsideTheLevelFolderOnly) {
    struct Row {
        const char* what;
        bool clean;
        bool linkFolder;
        bool levelInsideFolder;
        LevelOutcome outcome;
        std::size_t staleWarned;
        bool oldFileLeft;
    };
    const std::vector<Row> rows = {
        {"warn", false, false, false, LevelOutcome::Converted, 2, true},
        {"clean", true, false, false, LevelOutcome::Converted, 0, false},
        {"link", true, true, false, LevelOutcome::Failed, 0, true},
        {"input inside", true, false, true, LevelOutcome::Failed, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder in("veldrin-batch-in"), out("veldrin-batch-out"), elsewhere("veldrin-batch-else");
        const fs::path levelFolder = out / "town";
        const fs::path inputFolder = row.levelInsideFolder ? levelFolder : in.path();
        if (row.linkFolder) fs::create_directory_symlink(elsewhere.path(), levelFolder);
        else fs::create_directories(levelFolder);
        const fs::path lvz = buildLevel(levelOf(GameVersion::LcsPs2, 2).describe()).write(inputFolder, "town");
        // An earlier run's leftovers beside a file this run writes again, and neighbours of the folder.
        for (const char* name : {"town.ide", "old.dff", "TOWNTXD1.TXD"}) writeWholeFile(levelFolder / name, std::string("old"));
        writeWholeFile(out / "neighbour.txt", std::string("keep"));
        writeWholeFile(elsewhere / "keep.txt", std::string("keep"));

        BatchSettings settings = ideSettings(out.path());
        std::vector<std::string> warnings;
        const auto results = runQuietly(planBatch({lvz}, settings), row.clean, &warnings);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].outcome, row.outcome) << results[0].reason;
        EXPECT_EQ(results[0].staleFiles, row.staleWarned);
        const auto stale = std::count_if(warnings.begin(), warnings.end(), [](const std::string& w) {
            return w.find("did not write") != std::string::npos;
        });
        EXPECT_EQ(stale, row.staleWarned > 0 ? 1 : 0);
        if (row.staleWarned > 0) {
            EXPECT_NE(warnings.back().find(" holds 2 file(s)"), std::string::npos) << warnings.back();
        }
        EXPECT_EQ(fs::exists(levelFolder / "old.dff"), row.oldFileLeft);
        EXPECT_TRUE(fs::exists(out / "neighbour.txt"));
        EXPECT_TRUE(fs::exists(elsewhere / "keep.txt"));
        EXPECT_TRUE(fs::exists(lvz));
        if (row.outcome == LevelOutcome::Converted) {
            EXPECT_NE(readWholeFile(levelFolder / "town.ide").size(), 3u);
        }
    }
}

// Planned first ids: each level starts where the previous level's models end; a level without models
// leaves the start where it was; a level whose ids would pass the largest is refused alone.
TEST(BatchRun, PlannedIdsFollowOnAndStopAtTheLargest) {
    struct Row {
        const char* what;
        int idOffset;
        std::vector<int> models;
        std::vector<int> firstIds;
        std::vector<bool> refused;
    };
    const std::vector<Row> rows = {
        {"follow on", 0, {2, 0, 3, 1}, {0, 2, 2, 5}, {false, false, false, false}},
        {"past the largest", 2147483646, {2, 1, 0}, {2147483646, 2147483647, 2147483647}, {false, true, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder in("veldrin-batch-in"), out("veldrin-batch-out");
        std::vector<fs::path> levels;
        for (std::size_t i = 0; i < row.models.size(); ++i)
            levels.push_back(buildLevel(levelOf(GameVersion::LcsPs2, row.models[i], 1).describe()).write(in.path(), "l" + std::to_string(i)));
        BatchSettings settings = ideSettings(out.path());
        settings.options.idOffset = row.idOffset;
        const auto plan = planBatch(levels, settings);
        ASSERT_EQ(plan.size(), row.models.size());
        for (std::size_t i = 0; i < plan.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(plan[i].options.idOffset, row.firstIds[i]);
            EXPECT_EQ(plan[i].failure.find("go past 2147483647") != std::string::npos, row.refused[i]) << plan[i].failure;
        }
    }
}

// The summary files read back: each level with its ids, counts and status, linked to its report page.
TEST(BatchSummary, JsonAndPageListEveryLevelAndLinkTheirReports) {
    TempFolder in("veldrin-batch-in"), out("veldrin-batch-out");
    buildLevel(levelOf(GameVersion::LcsPs2, 2).describe()).write(in.path(), "town one");
    writeWholeFile(in / "zz.lvz", std::string("junk"));
    const auto results = runQuietly(planBatch(batchLevelFiles({in.path()}), ideSettings(out.path())), false);
    ASSERT_EQ(results.size(), 2u);
    // A report page made for the first level only.
    ensureFolder(out / "town one-report");
    writeWholeFile(out / "town one-report" / "index.html", std::string("<html></html>"));
    writeBatchSummary(results, out.path());

    const auto j = nlohmann::json::parse(readWholeFile(out / "batch.json"));
    ASSERT_EQ(j["levels"].size(), 2u);
    const auto& first = j["levels"][0];
    EXPECT_EQ(first["name"], "town one");
    EXPECT_EQ(first["ids"]["first"], 1000);
    EXPECT_EQ(first["ids"]["last"], 1001);
    EXPECT_EQ(first["counts"]["models"], 2);
    EXPECT_EQ(first["status"], "converted");
    EXPECT_EQ(first["report"], "town%20one-report/index.html");
    const auto& second = j["levels"][1];
    EXPECT_EQ(second["status"], "failed");
    EXPECT_TRUE(second["report"].is_null());
    EXPECT_TRUE(second["ids"].is_null());
    EXPECT_EQ(j["counts"]["converted"], 1);
    EXPECT_EQ(j["counts"]["failed"], 1);

    const std::vector<uint8_t> page = readWholeFile(out / "batch-report.html");
    const std::string html(page.begin(), page.end());
    EXPECT_NE(html.find("<a href=\"town%20one-report/index.html\">town one</a>"), std::string::npos);
    EXPECT_NE(html.find("<tr class=\"failed\"><td>zz</td>"), std::string::npos);
}

// Levels whose names would clash get names of their own: bar and bay both name their distant models
// "LOD" and the index, and two levels called bar name their dictionaries alike; levels without a clash
// keep their own names and are not warned about. Every model and dictionary of the batch's output is
// then named once, and each level's LOD prefix is derived from its model prefix.
TEST(BatchRun, LevelsWhoseNamesWouldClashGetDistinctOnes) {
    struct Row {
        const char* what;
        std::vector<std::pair<const char*, const char*>> levels; // input subfolder, level name
        std::vector<std::string> prefixes, levelNames;
    };
    const std::vector<Row> rows = {
        {"bar and bay", {{"", "bar"}, {"", "bay"}}, {"bar", "bay_2"}, {"bar", "bay"}},
        {"bar twice", {{"one", "bar"}, {"two", "bar"}}, {"bar", "bar_2"}, {"bar", "bar_2"}},
        {"no clash", {{"", "alpha"}, {"", "beta"}}, {"alpha", "beta"}, {"alpha", "beta"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder in("veldrin-batch-in");
        std::vector<fs::path> lvzs;
        for (const auto& [sub, name] : row.levels) {
            ensureFolder(in / sub);
            lvzs.push_back(buildLevel(sampleTown(GameVersion::LcsPs2)).write(in / sub, name));
        }
        BatchSettings settings;
        settings.options.generateIde = true;
        const std::vector<BatchLevel> plan = planBatch(lvzs, settings);
        ASSERT_EQ(plan.size(), row.levels.size());
        std::map<std::string, std::string> models, dictionaries; // lower-case name -> level folder
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const ConversionOptions& o = plan[i].options;
            EXPECT_EQ(o.modelPrefix, row.prefixes[i]);
            EXPECT_EQ(o.levelName, row.levelNames[i]);
            EXPECT_EQ(o.lodPrefix(), "LOD" + o.modelPrefix.substr(3));
            const bool renamed = o.modelPrefix != row.levels[i].second || o.levelName != row.levels[i].second;
            EXPECT_EQ(plan[i].planWarnings.size(), (o.modelPrefix != row.levels[i].second) + (o.levelName != row.levels[i].second));
            for (const RunWarning& w : plan[i].planWarnings) EXPECT_EQ(w.kind, WarningKind::NameClash);
            if (renamed) {
                EXPECT_NE(batchPlanText(plan).find(prefixText(o)), std::string::npos);
            }
        }
        const auto results = runQuietly(plan, false);
        ASSERT_TRUE(batchSucceeded(results));
        for (const BatchLevelResult& r : results) {
            const fs::path folder = r.level.options.levelFolder();
            for (const std::string& file : filesIn(folder)) {
                const std::string ext = toLower(fs::path(file).extension().string());
                auto& names = ext == ".dff" ? models : dictionaries;
                if (ext != ".dff" && ext != ".txd") continue;
                const auto [it, fresh] = names.emplace(toLower(fs::path(file).stem().string()), folder.string());
                EXPECT_TRUE(fresh) << file << " written by " << it->second << " and " << folder;
            }
            // The IDE names the models by the names they were written under.
            for (const std::string& line : sectionLines(readLines(folder / (r.level.options.levelName + ".ide")), "objs"))
                EXPECT_TRUE(fs::exists(folder / (splitFields(line).at(1) + ".dff"))) << line;
        }
        EXPECT_GT(models.size(), 2 * static_cast<std::size_t>(plan[0].plannedModels) - 1);
    }
}
