#include "internal/InstallRecord.h"

#include <algorithm>

#include "base/Error.h"
#include "base/FileIO.h"
#include "internal/GameFiles.h"
#include "internal/InstallTexts.h"
#include "internal/LinkSafeFiles.h"
#include "report/Sha256.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

// A recorded file's path: relative, forward slashes, inside veldrin/, no step outside.
bool isInstallFilePath(const std::string& path) {
    if (path.rfind("veldrin/", 0) != 0 || path.find('\\') != std::string::npos || path.find(':') != std::string::npos) return false;
    const fs::path p(path);
    if (p.is_absolute()) return false;
    return std::none_of(p.begin(), p.end(), [](const fs::path& part) { return part == ".." || part == "." || part.empty(); });
}

std::string relativeDataFile(const GameFolder& game, const fs::path& file) {
    return file.lexically_relative(game.root).generic_string();
}

// Far deeper than any record Veldrin writes; a record nesting deeper is damaged or crafted, and copying
// or printing it would recurse that deep.
constexpr int kMaxRecordDepth = 32;

nlohmann::json parseBounded(const std::vector<uint8_t>& bytes, const fs::path& path) {
    const nlohmann::json::parser_callback_t depthLimit = [&](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
        if (depth > kMaxRecordDepth)
            throw VeldrinError(texts::badRecord(path, "it nests deeper than " + std::to_string(kMaxRecordDepth) + " levels"));
        return true;
    };
    nlohmann::json json = nlohmann::json::parse(bytes.begin(), bytes.end(), depthLimit, false);
    if (json.is_discarded() || !json.is_object()) throw VeldrinError(texts::badRecord(path, "it is not JSON"));
    return json;
}

bool isSha256Hex(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

fs::path inGameFolder(const GameFolder& game, const std::string& relative) { return game.root / fs::path(relative); }

std::vector<RecordFile> describeFolder(const fs::path& folder) {
    std::vector<RecordFile> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_directory()) continue;
        const fs::path relative = entry.path().lexically_relative(folder);
        if (relative == kRecordName) continue;
        if (entry.is_symlink() || !entry.is_regular_file())
            throw VeldrinError(texts::notPlainFile(entry.path()));
        uint64_t size = 0;
        std::string hash = sha256HexOfFile(entry.path(), size);
        files.push_back({"veldrin/" + relative.generic_string(), size, std::move(hash)});
    }
    std::sort(files.begin(), files.end(), [](const RecordFile& a, const RecordFile& b) { return a.path < b.path; });
    return files;
}

nlohmann::json recordJson(const InstallRecord& record) {
    nlohmann::json json;
    json["program"] = "Veldrin";
    json["version"] = record.version;
    json["target"] = record.target;
    json["files"] = nlohmann::json::array();
    for (const RecordFile& file : record.files)
        json["files"].push_back({{"path", file.path}, {"size", file.size}, {"sha256", file.sha256}});
    json["dataFiles"] = nlohmann::json::array();
    for (const RecordDataFile& data : record.dataFiles)
        json["dataFiles"].push_back({{"path", data.path}, {"backup", data.backup}, {"lines", data.lines}});
    json["details"] = record.details.is_null() ? nlohmann::json::object() : record.details;
    return json;
}

InstallRecord readInstallRecord(const GameFolder& game) {
    const fs::path path = installFolder(game) / kRecordName;
    const std::string relative = std::string("veldrin/") + kRecordName;
    const std::optional<std::vector<uint8_t>> bytes = readPlainFile(game.root, relative, kMaxRecordBytes, path.string());
    if (!bytes) throw VeldrinError(texts::noInstall(game.root));
    const nlohmann::json json = parseBounded(*bytes, path);
    InstallRecord record;
    try {
        record.version = json.at("version").get<std::string>();
        record.target = json.at("target").get<std::string>();
        for (const nlohmann::json& file : json.at("files")) {
            // Sizes are whole numbers Veldrin wrote: anything else (a float such as 1e300) is refused, never converted.
            if (!file.at("size").is_number_unsigned()) throw VeldrinError(texts::badRecord(path, "a file's size is not a whole number"));
            RecordFile f{file.at("path").get<std::string>(), file.at("size").get<std::uintmax_t>(), file.at("sha256").get<std::string>()};
            if (!isInstallFilePath(f.path)) throw VeldrinError(texts::badRecord(path, "the file \"" + f.path + "\" lies outside veldrin/"));
            if (f.path == relative) throw VeldrinError(texts::badRecord(path, "it lists itself as a file of the install"));
            if (!isSha256Hex(f.sha256)) throw VeldrinError(texts::badRecord(path, "the hash of \"" + f.path + "\" is not a SHA-256"));
            record.files.push_back(std::move(f));
        }
        const std::string gameData = relativeDataFile(game, game.gameDataFile);
        const std::string defaultData = relativeDataFile(game, game.defaultDataFile);
        for (const nlohmann::json& data : json.at("dataFiles")) {
            RecordDataFile d{data.at("path").get<std::string>(), data.at("backup").get<std::string>(),
                             data.at("lines").get<std::vector<std::string>>()};
            if (d.path != gameData && d.path != defaultData)
                throw VeldrinError(texts::badRecord(path, "\"" + d.path + "\" is not a data file of this game"));
            if (d.backup != d.path + kBackupSuffix) throw VeldrinError(texts::badRecord(path, "the backup \"" + d.backup + "\" is not the data file's"));
            record.dataFiles.push_back(std::move(d));
        }
        record.details = json.value("details", nlohmann::json::object());
    } catch (const nlohmann::json::exception& e) {
        throw VeldrinError(texts::badRecord(path, std::string("a field is missing or of the wrong kind: ") + e.what()));
    }
    return record;
}

FileState stateOf(const GameFolder& game, const RecordFile& file) {
    const Standing standing = standingOf(game.root, file.path);
    if (standing == Standing::Missing) return FileState::Missing;
    if (standing != Standing::PlainFile) return FileState::Changed;
    // A file of another size is changed without being read; the hash reads the recorded size at most.
    const std::optional<std::string> hash = sha256IfSized(game.root, file.path, file.size);
    return hash && *hash == file.sha256 ? FileState::AsWritten : FileState::Changed;
}

} // namespace veldrin::install
