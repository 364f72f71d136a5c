#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

#include "base/Error.h"
#include "base/FileIO.h"
#include "support/TempFolder.h"
#include "tools/VcPatch.h"
#include "tools/VcPatchFile.h"

using namespace veldrin;
using namespace veldrin::test;
namespace fs = std::filesystem;

namespace {

// The four cull-mode bytes of each release, as decimal offsets.
const std::array<std::size_t, 4> k10{826777, 826205, 826120, 825951};
const std::array<std::size_t, 4> k11{826809, 826237, 826152, 825983};
constexpr std::size_t kFullSize = 900000;

// A stand-in executable: a pattern that never holds 1 or 2, with the given bytes at each release's
// locations (0 leaves the pattern).
std::vector<uint8_t> exe(std::array<uint8_t, 4> at10, std::array<uint8_t, 4> at11, std::size_t size = kFullSize) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(3 + i % 250);
    for (std::size_t j = 0; j < 4; ++j) {
        if (at10[j] != 0 && k10[j] < size) bytes[k10[j]] = at10[j];
        if (at11[j] != 0 && k11[j] < size) bytes[k11[j]] = at11[j];
    }
    return bytes;
}

constexpr std::array<uint8_t, 4> kTwos{2, 2, 2, 2};
constexpr std::array<uint8_t, 4> kOnes{1, 1, 1, 1};
constexpr std::array<uint8_t, 4> kNone{0, 0, 0, 0};

std::vector<std::size_t> differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) at.push_back(i);
    return at;
}

std::vector<std::size_t> sorted(std::array<std::size_t, 4> offsets) {
    std::sort(offsets.begin(), offsets.end());
    return {offsets.begin(), offsets.end()};
}

} // namespace

TEST(VcPatch, DetectsEachState) {
    EXPECT_EQ(detectVcExeState(exe(kTwos, kNone)), VcExeState::V10Unpatched);
    EXPECT_EQ(detectVcExeState(exe(kOnes, kNone)), VcExeState::V10Patched);
    EXPECT_EQ(detectVcExeState(exe(kNone, kTwos)), VcExeState::V11Unpatched);
    EXPECT_EQ(detectVcExeState(exe(kNone, kOnes)), VcExeState::V11Patched);
    EXPECT_EQ(detectVcExeState(exe(kNone, kNone)), VcExeState::Invalid);
    EXPECT_EQ(detectVcExeState({}), VcExeState::Invalid);
    // Release 1.0 is tried first.
    EXPECT_EQ(detectVcExeState(exe(kOnes, kTwos)), VcExeState::V10Patched);
    // A mixture in the 1.0 bytes falls through to the 1.1 rule.
    EXPECT_EQ(detectVcExeState(exe({2, 2, 1, 2}, kOnes)), VcExeState::V11Patched);
    // Mixtures in both: invalid, and nothing is patched.
    const std::vector<uint8_t> mixed = exe({2, 2, 2, 1}, {1, 2, 1, 2});
    const VcPatchResult result = patchVcBackfaceCulling(mixed);
    EXPECT_EQ(result.state, VcExeState::Invalid);
    EXPECT_TRUE(result.patched.empty());
}

TEST(VcPatch, SmallestFilesHoldingTheLocations) {
    EXPECT_EQ(detectVcExeState(exe(kTwos, kNone, 826778)), VcExeState::V10Unpatched);
    EXPECT_EQ(detectVcExeState(exe(kTwos, kNone, 826777)), VcExeState::Invalid);
    EXPECT_EQ(detectVcExeState(exe(kOnes, kNone, 826777)), VcExeState::Invalid);
    EXPECT_EQ(detectVcExeState(exe(kNone, kTwos, 826810)), VcExeState::V11Unpatched);
    EXPECT_EQ(detectVcExeState(exe(kNone, kTwos, 826809)), VcExeState::Invalid);
    EXPECT_EQ(detectVcExeState(exe(kNone, kOnes, 826809)), VcExeState::Invalid);
    // Patching the smallest 1.1 file touches its last byte and nothing beyond.
    const VcPatchResult r = patchVcBackfaceCulling(exe(kNone, kTwos, 826810));
    ASSERT_EQ(r.patched.size(), 826810u);
    EXPECT_EQ(r.patched.back(), 1);
}

TEST(VcPatch, PatchingChangesOnlyTheFourBytesAndTwiceFindsItPatched) {
    struct Case {
        std::vector<uint8_t> original;
        std::array<std::size_t, 4> offsets;
        VcExeState unpatched, patched;
    };
    const Case cases[] = {{exe(kTwos, kNone), k10, VcExeState::V10Unpatched, VcExeState::V10Patched},
                          {exe({2, 1, 2, 2}, kTwos), k11, VcExeState::V11Unpatched, VcExeState::V11Patched}};
    for (const Case& c : cases) {
        const VcPatchResult first = patchVcBackfaceCulling(c.original);
        EXPECT_EQ(first.state, c.unpatched);
        ASSERT_EQ(first.patched.size(), c.original.size());
        EXPECT_EQ(differences(c.original, first.patched), sorted(c.offsets));
        for (std::size_t offset : c.offsets) EXPECT_EQ(first.patched[offset], 1);

        const VcPatchResult second = patchVcBackfaceCulling(first.patched);
        EXPECT_EQ(second.state, c.patched);
        EXPECT_TRUE(second.patched.empty());
    }
}

TEST(VcPatch, Messages) {
    EXPECT_EQ(vcPatchMessage(VcExeState::V10Unpatched), "GTA VC V1.0 executable patched successfully!");
    EXPECT_EQ(vcPatchMessage(VcExeState::V11Unpatched), "GTA VC V1.1 executable patched successfully!");
    EXPECT_EQ(vcPatchMessage(VcExeState::V10Patched), "Seems this exe has been already patched...");
    EXPECT_EQ(vcPatchMessage(VcExeState::V11Patched), "Seems this exe has been already patched...");
    EXPECT_EQ(vcPatchMessage(VcExeState::Invalid), "Invalid executable.");
}

TEST(VcPatchFile, PatchesInPlaceWithABackupThenReportsAlreadyPatched) {
    TempFolder folder("vcpatch");
    const fs::path path = folder / "gta-vc.exe";
    const std::vector<uint8_t> original = exe(kNone, kTwos);
    writeWholeFile(path, original);

    const VcPatchOutcome first = patchVcExecutableFile(path);
    EXPECT_EQ(first.state, VcExeState::V11Unpatched);
    EXPECT_EQ(first.message, "GTA VC V1.1 executable patched successfully!");
    EXPECT_TRUE(first.written);
    EXPECT_TRUE(first.backupWritten);
    EXPECT_FALSE(first.failed());
    EXPECT_EQ(first.backupPath, folder / "gta-vc.exe.bak");
    EXPECT_EQ(readWholeFile(first.backupPath), original);
    const std::vector<uint8_t> patched = readWholeFile(path);
    EXPECT_EQ(differences(original, patched), sorted(k11));
    EXPECT_EQ(patched.size(), original.size());

    const VcPatchOutcome second = patchVcExecutableFile(path);
    EXPECT_EQ(second.state, VcExeState::V11Patched);
    EXPECT_EQ(second.message, "Seems this exe has been already patched...");
    EXPECT_FALSE(second.written);
    EXPECT_FALSE(second.backupWritten);
    EXPECT_EQ(readWholeFile(path), patched);
    EXPECT_EQ(readWholeFile(first.backupPath), original);
    // Only the executable and its backup: no temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(VcPatchFile, KeepsAnExistingBackup) {
    TempFolder folder("vcpatch");
    const fs::path path = folder / "gta-vc.exe";
    writeWholeFile(path, exe(kTwos, kNone));
    writeWholeFile(folder / "gta-vc.exe.bak", std::string_view("earlier original"));

    const VcPatchOutcome outcome = patchVcExecutableFile(path);
    EXPECT_TRUE(outcome.written);
    EXPECT_FALSE(outcome.backupWritten);
    EXPECT_EQ(detectVcExeState(readWholeFile(path)), VcExeState::V10Patched);
    const std::vector<uint8_t> backup = readWholeFile(folder / "gta-vc.exe.bak");
    EXPECT_EQ(std::string(backup.begin(), backup.end()), "earlier original");
}

TEST(VcPatchFile, InvalidFileIsLeftAloneWithoutBackup) {
    TempFolder folder("vcpatch");
    const fs::path path = folder / "gta-vc.exe";
    const std::vector<uint8_t> original = exe({2, 2, 2, 1}, kNone);
    writeWholeFile(path, original);

    const VcPatchOutcome outcome = patchVcExecutableFile(path);
    EXPECT_TRUE(outcome.failed());
    EXPECT_EQ(outcome.message, "Invalid executable.");
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(fs::exists(folder / "gta-vc.exe.bak"));
    EXPECT_EQ(readWholeFile(path), original);

    EXPECT_THROW(patchVcExecutableFile(folder / "missing.exe"), VeldrinError);
}

TEST(VcPatchFile, ReadOnlyFileIsMadeWritableAndKeepsItsOtherPermissions) {
    TempFolder folder("vcpatch");
    const fs::path path = folder / "gta-vc.exe";
    writeWholeFile(path, exe(kTwos, kNone));
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read;
    fs::permissions(path, readOnly, fs::perm_options::replace);

    EXPECT_TRUE(patchVcExecutableFile(path).written);
    EXPECT_EQ(fs::status(path).permissions(), readOnly | fs::perms::owner_write);
    EXPECT_EQ(detectVcExeState(readWholeFile(path)), VcExeState::V10Patched);
}

TEST(VcPatchFile, ThroughALinkPatchesItsTarget) {
    TempFolder folder("vcpatch");
    const fs::path target = folder / "real.exe";
    writeWholeFile(target, exe(kTwos, kNone));
    const fs::path link = folder / "gta-vc.exe";
    fs::create_symlink(target, link);

    const VcPatchOutcome outcome = patchVcExecutableFile(link);
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(detectVcExeState(readWholeFile(target)), VcExeState::V10Patched);
    EXPECT_EQ(detectVcExeState(readWholeFile(folder / "gta-vc.exe.bak")), VcExeState::V10Unpatched);
}
