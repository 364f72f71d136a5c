#include "app/run/Preflight.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "app/options/OptionTable.h"
#include "app/options/OptionText.h"
#include "base/FileIO.h"
#include "pcout/ImgArchive.h"
#include "report/ReportFolder.h"

namespace veldrin {

namespace fs = std::filesystem;

std::vector<std::string> checkInputFiles(const ConversionOptions& options) {
    if (auto problem = inputFileProblem(options.lvzPath)) return {*problem};
    std::vector<std::string> refusals;
    std::error_code ec;
    if (!fs::exists(options.imgPath, ec)) {
        refusals.push_back(options.imgPath.string() + " not found");
    } else if (auto problem = inputFileProblem(options.imgPath)) {
        refusals.push_back(*problem);
    }
    if (options.useZon) {
        if (options.zonPath.empty()) refusals.push_back(kNoZonFileMessage);
        else if (auto problem = inputFileProblem(options.zonPath)) refusals.push_back(*problem);
    }
    return refusals;
}

std::optional<std::string> outputFolderProblem(const fs::path& folder) {
    std::error_code ec;
    const fs::path target = fs::absolute(folder.empty() ? fs::path(".") : folder, ec);
    fs::path existing = target;
    while (!fs::exists(existing, ec) && existing != existing.root_path()) existing = existing.parent_path();
    if (!fs::is_directory(existing, ec)) {
        return "cannot create the output folder " + folder.string() + ": " + existing.string() + " is a file";
    }
    // Only a try tells for certain (permissions, read-only file systems, the super-user): a file that
    // exists for an instant in the nearest folder that exists, named apart from the probes of the
    // process's other runs (a batch's levels check their shared folder at the same time).
    static std::atomic<unsigned> probes{0};
    const fs::path probe = existing / (".veldrin-probe-" + std::to_string(::getpid()) + "-" + std::to_string(++probes));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        const std::string reason = std::strerror(errno);
        if (existing == target) return "cannot write in the output folder " + folder.string() + ": " + reason;
        return "cannot create the output folder " + folder.string() + " in " + existing.string() + ": " + reason;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::vector<std::string> checkOutputFolders(const ConversionOptions& options) {
    std::vector<std::string> refusals;
    if (auto problem = outputFolderProblem(options.levelFolder())) refusals.push_back(*problem);
    if (options.writeReport) {
        const fs::path report = reportFolderFor(options.outputFolder, options.levelName);
        std::error_code ec;
        if (fs::exists(report, ec) && !fs::is_directory(report, ec)) {
            refusals.push_back("cannot write the report into " + report.string() + ": it is a file");
        } else if (auto problem = outputFolderProblem(report)) {
            refusals.push_back(*problem);
        }
    }
    return refusals;
}

std::vector<std::string> idleOptionWarnings(const ConversionOptions& o) {
    // From the option table's targets: an option set away from its default for a game it does nothing
    // for. An option that refines another is left to its parent (the window keeps a dialog's settings
    // while their option is off; the command line refuses them before the run).
    static const char* const kGames[] = {"GTA 3", "GTA VC", "GTA SA"};
    const ConversionOptions defaults;
    const auto targetBit = [](TargetGame t) { return 1u << (static_cast<int>(t) - 1); };
    std::vector<std::string> warnings;
    for (const OptionEntry& entry : optionTable()) {
        if (entry.refines || entry.targets == kForAll || !entry.record || entry.targets & targetBit(o.targetGame)) continue;
        if (entry.record(o) == entry.record(defaults)) continue;
        warnings.push_back(std::string(entry.targetNote) + " " + targetGamesText(entry.targets, kGames) + " only: the " + entry.title +
                           " option does nothing for " + kGames[static_cast<int>(o.targetGame) - 1]);
    }
    return warnings;
}

std::optional<std::string> emptyIslandWarning(const ZoneTable& zones, int island, const std::string& zonName) {
    std::vector<int> islands;
    for (const ZoneEntry& z : zones) islands.push_back(z.island);
    std::sort(islands.begin(), islands.end());
    islands.erase(std::unique(islands.begin(), islands.end()), islands.end());
    if (std::find(islands.begin(), islands.end(), island) != islands.end()) return std::nullopt;
    std::string has;
    for (std::size_t i = 0; i < islands.size(); ++i) {
        if (i > 0) has += i + 1 == islands.size() ? " and " : ", ";
        has += std::to_string(islands[i]);
    }
    return zonName + " has no zone on island " + std::to_string(island) + ", so the island filter keeps no instance (" +
           (islands.empty() ? std::string("the file has no zones") : "the file has island" + std::string(islands.size() > 1 ? "s " : " ") + has) +
           ")";
}

std::optional<std::string> longEntryNameWarning(const ConversionOptions& options, const std::vector<std::string>& entryNames) {
    if (options.buildImg) return std::nullopt;
    int tooLong = 0;
    const std::string* first = nullptr;
    for (const std::string& name : entryNames) {
        if (name.size() <= kImgNameSize) continue;
        if (!first) first = &name;
        ++tooLong;
    }
    if (tooLong == 0) return std::nullopt;
    return std::to_string(tooLong) + " file name(s), such as \"" + *first + "\", will not fit a " +
           std::to_string(kImgNameSize) + "-byte IMG archive entry; choose a shorter model prefix (--model-prefix) " +
           "to put them in an IMG later";
}

} // namespace veldrin
