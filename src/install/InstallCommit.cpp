#include "install/InstallCommit.h"

#include <algorithm>
#include <array>
#include <unistd.h>

#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "base/Version.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/GamePath.h"
#include "internal/InstallRecord.h"
#include "internal/InstallTexts.h"
#include "internal/KilledInstalls.h"
#include "internal/LinkSafeFiles.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {


// The order the games read a data file's lines in: archives, then definitions, then collision (its models
// must be defined), then placements (their models and collision must be known).
// (GTAMods wiki, "gta.dat": https://gtamods.com/wiki/Gta.dat)
constexpr std::array<std::string_view, 4> kLineOrder{"IMG", "IDE", "COLFILE", "IPL"};

std::size_t rankOf(const std::string& keyword) {
    return std::size_t(std::find(kLineOrder.begin(), kLineOrder.end(), keyword) - kLineOrder.begin());
}

struct Stopped {};


// One commit, with what it has done so far, so that a failure can undo exactly that.
class Commit {
public:
    Commit(const GameFolder& game, StagedInstall staged) : game_(game), staged_(std::move(staged)) {}

    void run(const std::function<bool()>& stopRequested, const CommitProbe& probe) {
        const auto step = [&](CommitStep s) {
            if (stopRequested && stopRequested()) throw Stopped{};
            if (probe) probe(s);
        };
        step(CommitStep::CheckStaging);
        check();
        step(CommitStep::WriteRecord);
        writeRecord();
        step(CommitStep::BackUpDataFile);
        if (!backupExists_) {
            writeWholeFile(backup_, std::span<const uint8_t>(original_));
            madeBackup_ = true;
        }
        step(CommitStep::MoveAside);
        if (targetExists_) {
            replaced_ = game_.root / (std::string(kReplacedPrefix) + std::to_string(::getpid()));
            fs::rename(target_, replaced_);
            movedAside_ = true;
        }
        step(CommitStep::MoveIn);
        fs::rename(staged_.staging, target_);
        movedIn_ = true;
        step(CommitStep::EditDataFile);
        writeWholeFile(game_.gameDataFile, newDataText_);
        edited_ = true;
        step(CommitStep::Finish);
    }

    // Undoes what run did, newest first; returns what could not be undone.
    std::vector<std::string> undo() {
        std::vector<std::string> problems;
        const auto attempt = [&](const std::string& what, const auto& action) {
            try {
                action();
            } catch (const std::exception& e) {
                problems.push_back(what + " (" + e.what() + ")");
            }
        };
        if (edited_)
            attempt("restore " + game_.gameDataFile.string(),
                    [&] { writeWholeFile(game_.gameDataFile, std::span<const uint8_t>(original_)); });
        if (movedIn_) attempt("take back " + target_.string(), [&] { fs::rename(target_, staged_.staging); });
        if (movedAside_) attempt("put back the earlier install " + target_.string(), [&] { fs::rename(replaced_, target_); });
        if (madeBackup_) attempt("remove " + backup_.string(), [&] { fs::remove(backup_); });
        return problems;
    }

    void removeStaging() {
        std::error_code error;
        fs::remove_all(staged_.staging, error);
    }

    // After success: the earlier install's files, moved aside. Failing to remove them leaves a hidden
    // folder the next install removes; the install itself is whole.
    void removeReplaced() {
        std::error_code error;
        if (movedAside_) fs::remove_all(replaced_, error);
    }

private:
    void check() {
        const fs::path& staging = staged_.staging;
        std::error_code error;
        if (!fs::equivalent(staging.parent_path(), game_.root, error) || staging.filename().string().rfind(kStagingPrefix, 0) != 0 ||
            !fs::is_directory(fs::symlink_status(staging, error)))
            throw VeldrinError(texts::badStaging(staging));
        std::stable_sort(staged_.lines.begin(), staged_.lines.end(),
                         [](const DataLine& a, const DataLine& b) { return rankOf(a.keyword) < rankOf(b.keyword); });
        for (const DataLine& line : staged_.lines) checkLine(line);
        if (const std::vector<std::string> refusals = installRefusals(game_); !refusals.empty()) throw VeldrinError(refusals.front());
        target_ = installFolder(game_);
        const std::string dataFile = game_.gameDataFile.lexically_relative(game_.root).generic_string();
        original_ = *readPlainFile(game_.root, dataFile, kMaxDataFileBytes, game_.gameDataFile.string());
        backup_ = game_.gameDataFile;
        backup_ += kBackupSuffix;
        backupExists_ = standingOf(game_.root, dataFile + kBackupSuffix) != Standing::Missing;
        targetExists_ = standingOf(game_.root, "veldrin") != Standing::Missing;
    }

    void checkLine(const DataLine& line) const {
        if (rankOf(line.keyword) >= kLineOrder.size()) throw VeldrinError(texts::badLine(line.keyword, line.path, "has an unknown keyword"));
        if (!isInsideGamePath(line.path) || !isInInstallFolder(line.path) || line.path.find_first_of(" \t/,") != std::string::npos)
            throw VeldrinError(texts::badLine(line.keyword, line.path, "must name a file in veldrin\\ with backslashes and no blanks"));
        // "veldrin\\a\\b.ide" is staging/a/b.ide until the move.
        std::string inStaging = line.path.substr(line.path.find('\\') + 1);
        std::replace(inStaging.begin(), inStaging.end(), '\\', '/');
        std::error_code error;
        if (!fs::is_regular_file(staged_.staging / inStaging, error))
            throw VeldrinError(texts::badLine(line.keyword, line.path, "names a file the install does not hold"));
    }

    void writeRecord() {
        InstallRecord record;
        record.version = kVeldrinVersion;
        record.target = std::string(targetGameName(game_.target));
        record.files = describeFolder(staged_.staging);
        RecordDataFile data;
        data.path = game_.gameDataFile.lexically_relative(game_.root).generic_string();
        data.backup = data.path + kBackupSuffix;
        for (const DataLine& line : staged_.lines) data.lines.push_back(dataLineText(game_.target, line));
        record.dataFiles.push_back(data);
        record.details = staged_.details;
        writeWholeFile(staged_.staging / kRecordName, recordJson(record).dump(2) + "\n");
        const std::string_view text(reinterpret_cast<const char*>(original_.data()), original_.size());
        newDataText_ = withBlock(text, data.lines);
    }

    const GameFolder& game_;
    StagedInstall staged_;
    fs::path target_;
    fs::path replaced_;
    fs::path backup_;
    std::vector<uint8_t> original_;
    std::string newDataText_;
    bool backupExists_ = false;
    bool targetExists_ = false;
    bool madeBackup_ = false;
    bool movedAside_ = false;
    bool movedIn_ = false;
    bool edited_ = false;
};

} // namespace

std::vector<std::string> installRefusals(const GameFolder& game) {
    std::vector<std::string> refusals;
    const auto refuse = [&](const auto& check) {
        try {
            check();
        } catch (const VeldrinError& e) {
            refusals.push_back(errorText(e));
        }
    };
    const std::string dataFile = game.gameDataFile.lexically_relative(game.root).generic_string();
    refuse([&] {
        refuseLinksOnTheWay(game.root, dataFile);
        refuseLinksOnTheWay(game.root, dataFile + kBackupSuffix);
        // The file's read-only flag, or no right to replace it (another user's file or folder).
        if (!ownerMayWrite(game.gameDataFile) || ::access(game.gameDataFile.c_str(), W_OK) != 0 ||
            ::access(game.gameDataFile.parent_path().c_str(), W_OK) != 0)
            throw VeldrinError(texts::readOnlyDataFile(game.gameDataFile));
        const auto text = readPlainFile(game.root, dataFile, kMaxDataFileBytes, game.gameDataFile.string());
        if (!text) throw VeldrinError(texts::missingNamedFile("the game", dataFile));
        const std::vector<std::string> stray = strayInstallLines(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
        if (!stray.empty()) throw VeldrinError(texts::strayLines(game.gameDataFile, stray));
    });
    // Installing over an install replaces it; its files must be as written, or changes would be lost.
    refuse([&] {
        const fs::path folder = installFolder(game);
        const Standing standing = standingOf(game.root, "veldrin");
        if (standing == Standing::Missing) return;
        if (standing != Standing::Folder || standingOf(game.root, std::string("veldrin/") + kRecordName) != Standing::PlainFile)
            throw VeldrinError(texts::foreignInstallFolder(folder));
        const InstallRecord earlier = readInstallRecord(game);
        std::vector<std::string> changed;
        for (const RecordFile& file : earlier.files)
            if (stateOf(game, file) == FileState::Changed) changed.push_back(file.path);
        if (!changed.empty()) throw VeldrinError(texts::changedSinceInstall(changed));
    });
    return refusals;
}

std::string dataLineText(TargetGame target, const DataLine& line) {
    if (line.keyword == "IMG") return std::string(target == TargetGame::GtaSa ? "IMG " : "CDIMAGE ") + line.path;
    if (line.keyword == "COLFILE") return "COLFILE 0 " + line.path;
    return line.keyword + " " + line.path;
}

fs::path makeStagingFolder(const GameFolder& game) {
    tidyAfterKilledInstalls(game.root);
    for (int attempt = 0;; ++attempt) {
        const fs::path folder =
            game.root / (std::string(kStagingPrefix) + std::to_string(::getpid()) + "-" + std::to_string(attempt));
        std::error_code error;
        if (fs::create_directory(folder, error)) return folder;
        if (error) throw VeldrinError(texts::noStagingFolder(folder, error.message()));
    }
}

void commitInstall(const GameFolder& game, StagedInstall staged, const std::function<bool()>& stopRequested,
                   const CommitProbe& probe) {
    Commit commit(game, std::move(staged));
    try {
        commit.run(stopRequested, probe);
    } catch (...) {
        std::string cause;
        try {
            throw;
        } catch (const Stopped&) {
            cause = texts::stopped();
        } catch (const std::exception& e) {
            cause = texts::failed(errorText(e));
        }
        const std::vector<std::string> problems = commit.undo();
        commit.removeStaging();
        throw VeldrinError(problems.empty() ? texts::leftAsItWas(cause) : texts::notRestored(cause, problems));
    }
    commit.removeReplaced();
}

} // namespace veldrin::install
