#include "app/detect/EditionDetection.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "RunFixture.h"
#include "base/FileIO.h"

#include "level/WorldReader.h"
#include "level/WorldTables.h"
#include "support/LevelBuilder.h"
#include "support/ModelEncoder.h"
#include "support/SampleLevels.h"
#include "support/TextureEncoder.h"

namespace veldrin::test {
namespace {

constexpr GameVersion kEditions[] = {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp, GameVersion::VcsPsp};

std::string describe(const EditionDetection& d) {
    std::string text;
    for (const EditionReading& r : d.ranked) {
        text += std::string(editionName(r.edition)) + ": score " + std::to_string(r.score) + ", models " +
                std::to_string(r.modelsRead) + "/" + std::to_string(r.models) + ", textures " +
                std::to_string(r.texturesRead) + "/" + std::to_string(r.textures) + ", faults " +
                std::to_string(r.faults()) + " [" + r.trouble() + "]\n";
    }
    return text;
}

TestModelPart wallPart(std::vector<int16_t> textureIds) {
    TestModelPart part;
    for (int16_t id : textureIds) {
        TestMaterial m;
        m.textureId = id;
        m.strip = {{0, 0, 0, 0, 0, 0x7FFF}, {900, 0, 0, 128, 0, 0x001F}, {0, 900, 0, 0, 128, 0x03E0},
                   {900, 900, 300, 128, 128, 0x7C00}};
        part.materials.push_back(m);
    }
    return part;
}

// The ways a test level may be damaged and still convert (with warnings), or not convert at all.
enum class Damage { None, MissingTexture, IndexBeyondCount, BrokenGeometry };

struct LevelCase {
    const char* name;
    SampleShape shape;
    Damage damage;
};

SampleShape smallShape() {
    SampleShape s;
    s.textures = 3;
    s.models = 2;
    s.instances = 3;
    s.pairs = 0;
    s.seed = 7;
    return s;
}

LevelDescription damagedTown(GameVersion edition, const LevelCase& c) {
    LevelDescription d = sampleTown(edition, c.shape);
    const int model = c.shape.textures; // the first model
    switch (c.damage) {
    case Damage::None: break;
    case Damage::MissingTexture: {
        // The last resource index is listed nowhere: a material naming it names a texture the level lacks.
        const auto missing = static_cast<int16_t>(d.resourceCount - 1);
        d.resources[model].encode = [edition, part = wallPart({0, missing})](uint32_t) { return encodeModelPart(edition, part); };
        break;
    }
    case Damage::IndexBeyondCount: d.trailingListed[0] = {d.resourceCount + 40}; break;
    case Damage::BrokenGeometry:
        d.resources[model].encode = [edition](uint32_t) {
            std::vector<uint8_t> bytes = encodeModelPart(edition, wallPart({0}));
            bytes.resize(8); // header and the start of the records only: the rest lies past the level's end
            bytes[0] = 0xFF;
            return bytes;
        };
        break;
    }
    return d;
}

TEST(EditionDetection, FindsTheEditionOfEveryTestLevelAndRefusesTheOthers) {
    std::vector<LevelCase> cases = {
        {"town", SampleShape{}, Damage::None},
        {"small", smallShape(), Damage::None},
        {"missing texture", SampleShape{}, Damage::MissingTexture},
        {"index beyond count", SampleShape{}, Damage::IndexBeyondCount},
        {"broken geometry", SampleShape{}, Damage::BrokenGeometry},
        {"small, missing texture", smallShape(), Damage::MissingTexture},
    };
    // Tiny towns give the editions the least to tell them apart by.
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        for (int size : {1, 2, 5}) {
            SampleShape s;
            s.seed = seed;
            s.textures = s.models = size;
            s.instances = 2 * size;
            s.pairs = size / 2;
            cases.push_back({"tiny town", s, Damage::None});
        }
    }
    for (const LevelCase& c : cases) {
        for (GameVersion right : kEditions) {
            const LevelBuffer buffer = buildLevel(damagedTown(right, c)).buffer();
            const EditionDetection d = detectEdition(buffer);
            SCOPED_TRACE(std::string(c.name) + " (seed " + std::to_string(c.shape.seed) + ", " + std::to_string(c.shape.models) +
                         " models) in " + std::string(editionName(right)) + "\n" + describe(d));
            const EditionChoice detected = chooseEdition(d, std::nullopt, "town.lvz");
            ASSERT_EQ(detected.edition, right) << detected.refusal;
            EXPECT_TRUE(detected.detected);
            // On two threads the readings rank alike; the choice carries the world the run would read.
            const EditionDetection two = detectEdition(buffer, 2);
            EXPECT_EQ(describe(two), describe(d));
            EXPECT_EQ(two.reading(right).fingerprint, d.reading(right).fingerprint);
            ASSERT_TRUE(detected.tables);
            const WorldTables read = readWorld(buffer, right);
            EXPECT_EQ(detected.tables->stats.instanceRecords, read.stats.instanceRecords);
            EXPECT_EQ(detected.tables->instances.size(), read.instances.size());
            if (c.damage != Damage::None) {
                EXPECT_GT(d.reading(right).faults(), 0);
            }

            EXPECT_EQ(chooseEdition(d, right, "town.lvz").edition, right);
            const std::vector<std::string> others = otherEditionLines(d, right);
            ASSERT_EQ(others.size(), 3u);
            for (const std::string& line : others) EXPECT_NE(line.find(" does not fit: "), std::string::npos) << line;
            for (GameVersion wrong : kEditions) {
                if (wrong == right) continue;
                const EditionChoice refused = chooseEdition(d, wrong, "town.lvz");
                EXPECT_FALSE(refused.edition) << editionName(wrong);
                const std::string head = "town.lvz reads as " + std::string(editionName(right)) + ", not " +
                                         std::string(editionName(wrong)) + " (";
                EXPECT_EQ(refused.refusal.rfind(head, 0), 0u) << refused.refusal;
                EXPECT_EQ(refused.reason, EditionRefusal::NamedReadsWorse);
                EXPECT_EQ(refused.candidates, std::vector<GameVersion>{right});
            }
        }
    }
}

// A VCS PSP level made to read the same under the LCS PSP layout: resources only in blocks, instances
// only in list 3, padding after the list tables that fits neither list count, wide material records
// flagged the LCS way. Only the placement differs between the two.
LevelDescription ambiguousLevel() {
    const GameVersion e = GameVersion::VcsPsp;
    LevelDescription d;
    d.edition = e;
    d.listTablePadding = 12;
    d.resourceCount = 6;
    d.trailingBlocks = 1;
    TestTexture t;
    t.texels.assign(256, 1);
    for (int i = 0; i < 256; ++i) t.palette.push_back({static_cast<uint8_t>(i), 9, 9, 255});
    for (int i = 0; i < 2; ++i) {
        d.resources[i].encode = [e, t](uint32_t offset) { return encodeTexture(e, t, offset); };
        d.resources[i].placements = {{Where::TrailingBlock, 0}};
    }
    TestCell cell;
    cell.row = 10;
    cell.column = 4;
    for (int m = 2; m < 5; ++m) {
        d.resources[m].encode = [e, part = wallPart({static_cast<int16_t>(m % 2), 1})](uint32_t) {
            std::vector<uint8_t> bytes = encodeModelPart(e, part);
            bytes[7] = 0x10;
            return bytes;
        };
        d.resources[m].placements = {{Where::Cell, 0}};
        TestInstance inst;
        inst.id = m;
        inst.model = m;
        inst.list = 3;
        inst.position = {5.0f * m, 3, 1};
        cell.instances.push_back(inst);
    }
    d.cells = {cell};
    return d;
}

TEST(EditionDetection, RefusesWhatItCannotDecide) {
    LevelDescription empty = sampleTown(GameVersion::VcsPs2, smallShape());
    for (TestCell& cell : empty.cells) cell.instances.clear();

    struct Case {
        const char* name;
        LevelDescription level;
        std::string refusal;
        std::vector<GameVersion> candidates;
    };
    const Case cases[] = {
        {"ambiguous", ambiguousLevel(), "town.lvz: this level reads as lcs-psp and as vcs-psp",
         {GameVersion::LcsPsp, GameVersion::VcsPsp}},
        {"nothing placed", empty, "town.lvz does not read as any edition; the best candidate, ", {}},
    };
    for (const Case& c : cases) {
        const EditionDetection d = detectEdition(buildLevel(c.level).buffer());
        SCOPED_TRACE(std::string(c.name) + "\n" + describe(d));
        const EditionChoice choice = chooseEdition(d, std::nullopt, "town.lvz");
        EXPECT_FALSE(choice.edition);
        EXPECT_EQ(choice.refusal.rfind(c.refusal, 0), 0u) << choice.refusal;
        std::vector<GameVersion> sorted = choice.candidates;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, c.candidates);
        // Naming any of the candidates settles it; naming an edition that reads nothing is left to the run.
        for (GameVersion e : c.candidates) EXPECT_EQ(chooseEdition(d, e, "town.lvz").edition, e);
        if (c.candidates.size() == 2) {
            const std::vector<std::string> others = otherEditionLines(d, c.candidates[0]);
            EXPECT_EQ(std::count_if(others.begin(), others.end(),
                                    [](const std::string& l) { return l.find(" reads about as well, into different output") != std::string::npos; }),
                      1);
        }
        try {
            settleEdition(buildLevel(c.level).buffer(), std::nullopt, "town.lvz");
            ADD_FAILURE() << "not refused";
        } catch (const EditionRefused& e) {
            EXPECT_EQ(std::string(e.what()), choice.refusal);
            EXPECT_EQ(e.choice().reason, c.candidates.empty() ? EditionRefusal::NoEditionReads : EditionRefusal::Ambiguous);
        }
    }
}

TEST(EditionDetection, WeakerReadingsSayWhyTheyFellBehind) {
    EditionReading strong;
    strong.edition = GameVersion::VcsPsp;
    strong.modelsRead = 36;
    strong.texturesRead = 24;
    strong.score = 67;
    struct Case {
        const char* name;
        EditionReading weak;
        std::string why;
        bool clearlyBehind;
    };
    EditionReading refused;
    refused.worldRefusal = "world resource: resource count at offset 412 (4 bytes) lies outside the data (300 bytes)";
    EditionReading empty;
    EditionReading faulty;
    faulty.modelsRead = 30;
    faulty.texturesRead = 14;
    faulty.textureFaults = 10;
    faulty.firstFault = "texture 0 is not in the level";
    faulty.score = 30 + 14 - 20;
    EditionReading fewer;
    fewer.cells = fewer.cellsFitting = 7;
    fewer.modelsRead = 20;
    fewer.texturesRead = 10;
    fewer.score = 30;
    EditionReading nearly = fewer;
    nearly.modelsRead = 34;
    nearly.texturesRead = 22;
    nearly.score = 56;
    strong.cells = 7;
    strong.cellsFitting = 7;
    EditionReading misfit = strong;
    misfit.cellsFitting = 0;
    misfit.score = 60 - 7;
    const Case cases[] = {
        {"world refused", refused, refused.worldRefusal, true},
        {"nothing read", empty, "finds no model it can read", true},
        {"faults", faulty, "texture 0 is not in the level and 9 more fault(s)", true},
        {"finds less", fewer, "finds 20 model(s) and 10 texture(s) where vcs-psp finds 36 and 24", true},
        {"finds a little less", nearly, "finds 34 model(s) and 22 texture(s) where vcs-psp finds 36 and 24", false},
        {"misfits the cells", misfit, "its instance list table fits 0 of 7 cells, where vcs-psp's fits 7", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(whyBehind(c.weak, strong), c.why);
        EXPECT_EQ(readsClearlyBetter(strong, c.weak), c.clearlyBehind);
        EXPECT_FALSE(readsClearlyBetter(c.weak, strong));
    }
}

std::map<std::string, std::vector<uint8_t>> contentsOf(const std::filesystem::path& folder) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const std::string& name : filesIn(folder)) files[name] = readWholeFile(folder / name);
    return files;
}

TEST(EditionDetection, ARunWithoutAnEditionWritesWhatTheRightEditionWrites) {
    const LevelCase cases[] = {
        {"town", SampleShape{}, Damage::None},
        {"small", smallShape(), Damage::None},
        {"missing texture", SampleShape{}, Damage::MissingTexture},
        {"index beyond count", SampleShape{}, Damage::IndexBeyondCount},
    };
    for (const LevelCase& c : cases) {
        for (GameVersion right : kEditions) {
            SCOPED_TRACE(std::string(c.name) + " in " + std::string(editionName(right)));
            TempFolder dir("veldrin-auto");
            const auto lvz = buildLevel(damagedTown(right, c)).write(dir.path(), "town");
            ConversionOptions o = optionsFor(lvz, right);
            o.generateIde = true;
            o.genBlankCol = true;
            o.txdMode = TxdMode::TxdPerGroup;
            o.modelsPerTxd = 4;
            o.outputFolder = dir / "named";
            const RunResult named = runAndCollect(o);
            o.editionAuto = true;
            o.edition = right == GameVersion::LcsPs2 ? GameVersion::VcsPsp : GameVersion::LcsPs2; // not looked at
            o.outputFolder = dir / "auto";
            std::vector<std::pair<GameVersion, bool>> told;
            RunCallbacks cb;
            cb.edition = [&](GameVersion e, bool detected) { told.emplace_back(e, detected); };
            const RunSummary detected = runConversion(o, cb);
            EXPECT_EQ(told, (std::vector<std::pair<GameVersion, bool>>{{right, true}}));
            EXPECT_GT(detected.modelsConverted, 0);
            EXPECT_EQ(detected.warnings, named.summary.warnings);
            const auto expected = contentsOf(dir / "named" / "town");
            EXPECT_EQ(expected.size(), filesIn(dir / "named" / "town").size());
            EXPECT_TRUE(expected == contentsOf(dir / "auto" / "town"));
        }
    }
}

TEST(EditionDetection, ARunRefusesAWrongOrUndecidedEditionBeforeWritingAnything) {
    struct Case {
        const char* name;
        LevelDescription level;
        std::optional<GameVersion> named;
        std::string message;
    };
    const Case cases[] = {
        {"wrong edition", sampleTown(GameVersion::VcsPsp), GameVersion::LcsPsp, "town.lvz reads as vcs-psp, not lcs-psp ("},
        {"wrong platform", sampleTown(GameVersion::LcsPs2), GameVersion::LcsPsp, "town.lvz reads as lcs-ps2, not lcs-psp ("},
        {"ambiguous", ambiguousLevel(), std::nullopt,
         "town.lvz: this level reads as lcs-psp and as vcs-psp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir("veldrin-auto");
        ConversionOptions o = optionsFor(buildLevel(c.level).write(dir.path(), "town"), c.named.value_or(GameVersion::LcsPs2));
        o.editionAuto = !c.named;
        o.generateIde = true;
        try {
            runAndCollect(o);
            ADD_FAILURE() << "not refused";
        } catch (const EditionRefused& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(o.levelFolder()));
    }
    // A named edition is not second-guessed when no edition reads at all; the run says which file and why.
    TempFolder dir("veldrin-auto");
    std::vector<uint8_t> world(64, 0);
    world[0] = 'D', world[1] = 'L', world[2] = 'R', world[3] = 'W';
    writeWholeFile(dir / "bare.lvz", deflateBytes(world));
    writeWholeFile(dir / "bare.IMG", std::string_view("img"));
    ConversionOptions o = optionsFor(dir / "bare.lvz", GameVersion::VcsPs2);
    try {
        runAndCollect(o);
        ADD_FAILURE() << "not refused";
    } catch (const VeldrinError& e) {
        const std::string head = "bare.lvz does not read as vcs-ps2; check the edition, and that the LVZ and its IMG "
                                 "belong together (world resource: ";
        EXPECT_EQ(std::string(e.what()).rfind(head, 0), 0u) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(o.levelFolder()));
}

} // namespace
} // namespace veldrin::test
