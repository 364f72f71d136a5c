#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "install/GameContent.h"
#include "install/InstallCommit.h"
#include "install/Uninstall.h"
#include "internal/DataFileText.h"
#include "report/Sha256.h"
#include "Refusal.h"
#include "StagedInstall.h"

namespace veldrin::install {
namespace {

std::string sha256Of(const std::string& text) {
    return sha256Hex(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// A game folder with an install in it and a folder beside it that nothing may ever change.
struct Scene {
    Game g{TargetGame::GtaVc};
    TempFolder outside{"outside"};
    Snapshot beforeInstall;
    Scene() {
        writeText(outside / "keep.txt", "not the game's");
        writeText(outside / "folder/town.ide", "objs\r\nend\r\n");
        beforeInstall = g.snapshot();
        commitInstall(g.game, stageLevel(g.game), {});
    }
    fs::path root() const { return g.folder.path(); }
    nlohmann::json record() const { return nlohmann::json::parse(readText(root() / "veldrin/install.json")); }
    void writeRecord(const nlohmann::json& json) const { writeText(root() / "veldrin/install.json", json.dump()); }
};

// How the folder must stand after uninstall: as before the install, or exactly as the damage left it.
// KeptChanged: uninstalled, but a recorded file no longer as written is kept and named.
enum class Outcome { Uninstalled, KeptChanged, RefusedUntouched };

struct HostileCase {
    const char* name;
    std::function<void(Scene&)> damage;
    Outcome outcome;
    const char* refusal; // part of the message when refused (by --check too, unless it only reports)
};

// As an editor deletes a line: with its line ending.
void removeLine(Scene& s, std::string_view marker) {
    std::string text = readText(s.g.game.gameDataFile);
    text.erase(text.find(marker), marker.size() + 2);
    writeText(s.g.game.gameDataFile, text);
}

void removeEndMarker(Scene& s) { removeLine(s, kBlockEnd); }

const HostileCase kCases[] = {
    {"a link inside veldrin/ and a record entry reaching through it",
     [](Scene& s) {
         fs::create_directory_symlink(s.outside / "folder", s.root() / "veldrin/out");
         nlohmann::json r = s.record();
         r["files"].push_back({{"path", "veldrin/out/town.ide"}, {"size", 11}, {"sha256", sha256Of("objs\r\nend\r\n")}});
         s.writeRecord(r);
     },
     Outcome::RefusedUntouched, "is a link"},
    {"veldrin/ itself a link to a folder elsewhere",
     [](Scene& s) {
         fs::rename(s.root() / "veldrin", s.outside / "moved");
         fs::create_directory_symlink(s.outside / "moved", s.root() / "veldrin");
     },
     Outcome::RefusedUntouched, "is a link"},
    {"a recorded file replaced by a link to a file elsewhere",
     [](Scene& s) {
         fs::remove(s.root() / "veldrin/town/town.ide");
         fs::create_symlink(s.outside / "folder/town.ide", s.root() / "veldrin/town/town.ide");
     },
     Outcome::RefusedUntouched, "is a link"},
    {"a link at the data file's temporary name",
     [](Scene& s) { fs::create_symlink(s.outside / "keep.txt", s.root() / ("data/.gta_vc.dat.tmp" + std::to_string(::getpid()))); },
     Outcome::Uninstalled, ""},
    {"a link named like a killed install's leftover",
     [](Scene& s) { fs::create_directory_symlink(s.outside / "folder", s.root() / ".veldrin-replaced-999999999"); },
     Outcome::Uninstalled, ""},
    {"a recorded file far larger than recorded (sparse)",
     [](Scene& s) { fs::resize_file(s.root() / "veldrin/veldrin.img", std::uintmax_t(64) << 30); },
     Outcome::KeptChanged, ""},
    {"a record nesting a million arrays",
     [](Scene& s) {
         const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
         std::string text = s.record().dump();
         text.insert(text.rfind('}'), ",\"deep\":" + deep);
         writeText(s.root() / "veldrin/install.json", text);
     },
     Outcome::RefusedUntouched, "nests deeper"},
    {"a size no whole number can hold",
     [](Scene& s) {
         std::string text = s.record().dump();
         const std::size_t at = text.find("\"size\":") + 7;
         text.replace(at, text.find_first_of(",}", at) - at, "1e300");
         writeText(s.root() / "veldrin/install.json", text);
     },
     Outcome::RefusedUntouched, "not a whole number"},
    {"a record listing itself",
     [](Scene& s) {
         nlohmann::json r = s.record();
         r["files"].push_back({{"path", "veldrin/install.json"}, {"size", 1}, {"sha256", std::string(64, '0')}});
         s.writeRecord(r);
     },
     Outcome::RefusedUntouched, "lists itself"},
    {"the end marker deleted by hand", removeEndMarker, Outcome::Uninstalled, ""},
    {"the begin marker deleted by hand",
     [](Scene& s) { removeLine(s, kBlockBegin); }, Outcome::Uninstalled, ""},
    {"a line naming the install's files that the record does not list",
     [](Scene& s) {
         removeEndMarker(s);
         std::ofstream(s.g.game.gameDataFile, std::ios::binary | std::ios::app) << "IDE veldrin\\town\\extra.ide\r\n";
     },
     Outcome::RefusedUntouched, "extra.ide"},
};

TEST(HostileGameFolder, UninstallNeverReachesOutsideAndNeverStopsHalfDone) {
    for (const HostileCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene s;
        c.damage(s);
        const Snapshot outside = test::folderSnapshot(s.outside.path());
        const Snapshot damaged = s.g.snapshot();
        // --check refuses what uninstall refuses for links and records, and reports the rest.
        const std::string refusal = refusalOf([&] { installStatus(s.g.game); });
        if (refusal != "(no refusal)") {
            EXPECT_EQ(c.outcome, Outcome::RefusedUntouched);
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
        }

        UninstallResult result;
        const std::string uninstallRefusal = refusalOf([&] { result = uninstall(s.g.game); });
        if (c.outcome == Outcome::RefusedUntouched) {
            EXPECT_NE(uninstallRefusal.find(c.refusal), std::string::npos) << uninstallRefusal;
            EXPECT_EQ(s.g.snapshot(), damaged);
        } else {
            EXPECT_EQ(uninstallRefusal, "(no refusal)");
            EXPECT_EQ(result.kept.empty(), c.outcome == Outcome::Uninstalled);
            Snapshot after = s.g.snapshot();
            // What the damage planted stays, and so does a changed file (uninstall removes only what the
            // install wrote as it wrote it).
            std::erase_if(after, [&](const auto& entry) {
                return entry.first.find(" -> ") != std::string::npos ||
                       (c.outcome == Outcome::KeptChanged && entry.first.rfind("veldrin/", 0) == 0);
            });
            EXPECT_EQ(after, s.beforeInstall);
            EXPECT_TRUE(strayInstallLines(readText(s.g.game.gameDataFile)).empty());
        }
        EXPECT_EQ(test::folderSnapshot(s.outside.path()), outside);
    }
}

TEST(HostileGameFolder, InstallRefusesLinksBeforeWritingAnything) {
    struct Case {
        std::function<void(Scene&)> damage;
        const char* refusal; // of the plan's check and the commit alike; empty: installs
    };
    // (Leftover lines and the other refusals are checked through the plan, in the install run's tests.)
    const Case cases[] = {
        {[](Scene& s) {
             uninstall(s.g.game);
             fs::create_directory_symlink(s.outside / "folder", s.root() / "veldrin");
         },
         "is a link"},
        // A planted link named like a killed install's leftover is left alone, never made the install folder.
        {[](Scene& s) {
             uninstall(s.g.game);
             fs::create_directory_symlink(s.outside / "folder", s.root() / ".veldrin-replaced-999999999");
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal);
        Scene s;
        c.damage(s);
        const Snapshot outside = test::folderSnapshot(s.outside.path());
        const std::vector<std::string> refusals = installRefusals(s.g.game);
        const std::string refusal = refusalOf([&] { commitInstall(s.g.game, stageLevel(s.g.game, "other"), {}); });
        if (*c.refusal) {
            ASSERT_EQ(refusals.size(), 1u);
            EXPECT_NE(refusals.front().find(c.refusal), std::string::npos) << refusals.front();
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
        } else {
            EXPECT_TRUE(refusals.empty());
            EXPECT_EQ(refusal, "(no refusal)");
            EXPECT_FALSE(fs::is_symlink(s.root() / "veldrin"));
            EXPECT_TRUE(fs::is_symlink(s.root() / ".veldrin-replaced-999999999"));
        }
        EXPECT_EQ(test::folderSnapshot(s.outside.path()), outside);
    }
}

TEST(HostileGameFolder, DataFileLinesOfLinksOrSeparatorsAreRefusedNamingTheLine) {
    struct Line {
        const char* text;
        std::function<void(const fs::path& root, const fs::path& outside)> plant;
        const char* refusal;
    };
    const Line lines[] = {
        {"IDE DATA\\LOOP.IDE", [](const fs::path& root, const fs::path&) { fs::create_symlink("loop.ide", root / "data/loop.ide"); },
         "cannot be resolved"},
        {"IDE DATA\\AWAY.IDE", [](const fs::path& root, const fs::path& outside) { fs::create_symlink(outside / "folder/town.ide", root / "data/away.ide"); },
         "outside the game folder"},
        {",", [](const fs::path&, const fs::path&) {}, "(no refusal)"},
        {"IDE DATA\\COMMAS.IDE", [](const fs::path& root, const fs::path&) { writeText(root / "data/commas.ide", "objs\r\n,\r\n , ,\r\nend\r\n"); },
         "(no refusal)"},
    };
    for (const Line& line : lines) {
        SCOPED_TRACE(line.text);
        Game g(TargetGame::GtaVc);
        TempFolder outside("outside");
        writeText(outside / "folder/town.ide", "objs\r\nend\r\n");
        line.plant(g.folder.path(), outside.path());
        std::ofstream(g.game.defaultDataFile, std::ios::binary | std::ios::app) << line.text << "\r\n";
        const std::string refusal = refusalOf([&] { readGameContent(g.game); });
        EXPECT_NE(refusal.find(line.refusal), std::string::npos) << refusal;
        if (std::string(line.refusal) != "(no refusal)") {
            EXPECT_NE(refusal.find("default.dat line"), std::string::npos) << refusal;
        }
    }
}

} // namespace
} // namespace veldrin::install
