#include "app/Preflight.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "pcout/ImgArchive.h"

namespace veldrin {

namespace fs = std::filesystem;

std::optional<std::string> inputFileProblem(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (!fs::exists(status)) return file.string() + ": no such file";
    if (fs::is_directory(status)) return file.string() + ": is a folder";
    if (fs::is_regular_file(status) && fs::file_size(file, ec) == 0 && !ec) return file.string() + ": is empty";
    return std::nullopt;
}

std::vector<std::string> checkInputFiles(const ConversionOptions& options) {
    if (auto problem = inputFileProblem(options.lvzPath)) return {*problem};
    std::vector<std::string> refusals;
    std::error_code ec;
    if (!fs::exists(options.imgPath, ec)) {
        refusals.push_back(options.imgPath.string() + " not found");
    } else if (auto problem = inputFileProblem(options.imgPath)) {
        refusals.push_back(*problem);
    }
    // A missing MAP.ZON turns the filter off with a warning; a folder in its place is a mistake to refuse.
    if (options.useZon && fs::is_directory(options.zonPath, ec)) refusals.push_back(options.zonPath.string() + ": is a folder");
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
    // exists for an instant in the nearest folder that exists.
    const fs::path probe = existing / (".veldrin-probe-" + std::to_string(::getpid()));
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

std::vector<std::string> idleOptionWarnings(const ConversionOptions& o) {
    std::vector<std::string> warnings;
    if (o.genMipMaps && o.targetGame == TargetGame::Gta3) {
        warnings.push_back("mip-maps are made for GTA VC and GTA SA only: the mip-map option does nothing for GTA 3");
    }
    if (o.genNightPrelit && o.targetGame != TargetGame::GtaSa) {
        warnings.push_back(std::string("night prelight is written for GTA SA only: the night prelight option does nothing for ") +
                           (o.targetGame == TargetGame::Gta3 ? "GTA 3" : "GTA VC"));
    }
    if (o.mipSizeThreshold != 0 && !o.genMipMaps) {
        warnings.push_back("the mip-map threshold does nothing without mip-maps");
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

std::optional<std::string> longModelNameWarning(const ConversionOptions& options, const std::vector<std::string>& modelNames) {
    if (options.buildImg) return std::nullopt;
    int tooLong = 0;
    const std::string* first = nullptr;
    for (const std::string& name : modelNames) {
        if (name.size() + 4 <= kImgNameSize) continue;
        if (!first) first = &name;
        ++tooLong;
    }
    if (tooLong == 0) return std::nullopt;
    return std::to_string(tooLong) + " model name(s), such as \"" + *first + "\", will not fit a " +
           std::to_string(kImgNameSize) + "-byte IMG archive entry once \".dff\" is added; choose a shorter " +
           "model prefix to put them in an IMG later";
}

} // namespace veldrin
