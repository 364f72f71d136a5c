#include "install/GameContent.h"

#include <algorithm>
#include <array>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "inspect/ImgRead.h"
#include "inspect/ItemText.h"
#include "internal/DataFileText.h"
#include "internal/GameFiles.h"
#include "internal/GamePath.h"
#include "internal/InstallTexts.h"
#include "internal/LinkSafeFiles.h"

namespace veldrin::install {
namespace fs = std::filesystem;

namespace {

// Every item definition section whose lines open with a model id, its model name and its dictionary.
bool definesModels(const std::string& section) {
    static constexpr std::array<const char*, 8> kSections{"objs", "tobj", "anim", "tanm", "weap", "cars", "peds", "hier"};
    return std::find(kSections.begin(), kSections.end(), section) != kSections.end();
}

// The highest model id taken as a number at all: far above any game's limit (20,000 in SA), low enough
// that a set of them stays small.
constexpr long long kHighestReadableId = 999999;

std::string relativeText(const fs::path& root, const fs::path& file) {
    return gamePathText(file.lexically_relative(root));
}

std::string stemOf(const std::string& entry) {
    const std::size_t dot = entry.rfind('.');
    return dot == std::string::npos ? entry : entry.substr(0, dot);
}

// "MODELS\\GENERIC.TXD" -> "generic.txd"
std::string fileNameOf(const std::string& gamePath) {
    const std::size_t slash = gamePath.find_last_of("\\/");
    return toLower(slash == std::string::npos ? gamePath : gamePath.substr(slash + 1));
}

fs::path realPath(const fs::path& folder) {
    std::error_code error;
    fs::path real = fs::canonical(folder, error);
    return error ? fs::absolute(folder).lexically_normal() : real;
}

class ContentReader {
public:
    explicit ContentReader(const GameFolder& game) : game_(game), realRoot_(realPath(game.root)) {}

    void readDataFile(const fs::path& file) {
        const std::string name = relativeText(game_.root, file);
        // The data file is the install's to edit: a link there is refused, as the commit refuses it.
        refuseLinksOnTheWay(game_.root, file.lexically_relative(game_.root).generic_string());
        const std::vector<uint8_t> bytes = readBoundedFile(file, kMaxDataFileBytes, name);
        for (const DataFileLine& line : readDataFileLines(bytes, name)) {
            if (line.inInstallBlock) continue; // an earlier install: replaced, not the game's own
            const std::string where = name + " line " + std::to_string(line.number);
            if (line.keyword == "IDE") {
                if (const auto ide = named(line, 0, where)) readIde(*ide, where);
            } else if (line.keyword == "COLFILE") {
                named(line, 1, where); // loaded into the generic slot: counted once, in finish
            } else if (line.keyword == "IPL") {
                if (const auto ipl = named(line, 0, where)) readIpl(*ipl, where);
            } else if (line.keyword == "IMG" || line.keyword == "CDIMAGE") {
                if (const auto archive = named(line, 0, where)) {
                    ++content_.archiveLines;
                    readArchive(*archive, where);
                }
            } else if (line.keyword == "TEXDICTION") {
                if (!line.words.empty()) content_.dictionaryNames.insert(stemOf(fileNameOf(line.words[0])));
            }
        }
    }

    // The archive every game opens without a line: models/gta3.img; SA also models/gta_int.img.
    void readOwnArchives() {
        const auto gta3 = inFolder(findInGameFolder(game_.root, "models\\gta3.img"), "the game", "models\\gta3.img");
        if (!gta3) throw VeldrinError(texts::missingOwnArchive(game_.root, "models\\gta3.img"));
        if (firstTime(*gta3)) readArchive(*gta3, "the game's own archive");
        if (game_.target == TargetGame::GtaSa) {
            const auto interiors = inFolder(findInGameFolder(game_.root, "models\\gta_int.img"), "the game", "models\\gta_int.img");
            if (interiors && firstTime(*interiors)) readArchive(*interiors, "the game's own archive");
        }
    }

    GameContent finish() {
        content_.highestId = content_.usedIds.empty() ? -1 : *content_.usedIds.rbegin();
        content_.dictionaries = int(content_.dictionaryNames.size());
        ++content_.collisionFiles; // the generic slot, made before any file is read
        return std::move(content_);
    }

private:
    // The file a line names in its word `index`: none for a line into the install's own folder (an
    // earlier install) or one already read; refused when the file is missing.
    std::optional<fs::path> named(const DataFileLine& line, std::size_t index, const std::string& where) {
        if (line.words.size() <= index) throw VeldrinError(texts::lineWithoutPath(where, line.keyword));
        const std::string& gamePath = line.words[index];
        if (isInInstallFolder(gamePath)) return std::nullopt;
        const std::optional<fs::path> file = inFolder(findInGameFolder(game_.root, gamePath), where, gamePath);
        std::error_code error;
        if (!file || fs::is_directory(*file, error)) throw VeldrinError(texts::missingNamedFile(where, gamePath));
        if (!firstTime(*file)) return std::nullopt;
        return file;
    }

    // The file found, when it resolves to a file inside the game folder: a link out of the folder, or one
    // that resolves to nothing (a loop), is refused naming the line.
    std::optional<fs::path> inFolder(const std::optional<fs::path>& file, const std::string& where, const std::string& gamePath) const {
        if (!file) return file;
        std::error_code error;
        const fs::path real = fs::canonical(*file, error);
        if (error) throw VeldrinError(texts::linkOutOfFolder(where, gamePath, "cannot be resolved (" + error.message() + ")"));
        const fs::path inside = real.lexically_relative(realRoot_);
        if (inside.empty() || *inside.begin() == "..")
            throw VeldrinError(texts::linkOutOfFolder(where, gamePath, "is a link to " + real.string() + ", outside the game folder"));
        return real;
    }

    // A file named twice (or by two data files) is read and counted once.
    bool firstTime(const fs::path& file) { return read_.insert(file).second; }

    void readIde(const fs::path& file, const std::string& where) {
        const std::string what = relativeText(realRoot_, file) + " (named by " + where + ")";
        const std::vector<uint8_t> bytes = readBoundedFile(file, kMaxTextFileBytes, what);
        ++content_.ideFiles;
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        std::string section;
        std::size_t number = 0;
        for (const TextLine& textLine : splitLines(text)) {
            const std::string_view raw = textLine.content;
            ++number;
            if (raw.find('\0') != std::string_view::npos) throw VeldrinError(texts::notText(what, number));
            const std::string_view line = trimBlanks(raw);
            if (line.empty() || line.front() == '#') continue;
            const std::vector<std::string> words = splitWords(line);
            if (words.empty()) continue; // separators alone
            if (section.empty()) {
                section = toLower(words.front());
                continue;
            }
            if (toLower(words.front()) == "end") {
                section.clear();
                continue;
            }
            if (!definesModels(section)) continue;
            const std::optional<long long> id = parseInteger(words.front());
            if (!id || *id < 0 || *id > kHighestReadableId || words.size() < 3)
                throw VeldrinError(texts::badDefinition(what, number, section, std::string(line)));
            content_.usedIds.insert(int(*id));
            content_.modelNames.insert(toLower(words[1]));
            const std::string dictionary = toLower(words[2]);
            if (dictionary != "null") content_.dictionaryNames.insert(dictionary);
        }
    }

    void readIpl(const fs::path& file, const std::string& where) {
        const std::string what = relativeText(realRoot_, file) + " (named by " + where + ")";
        const std::vector<uint8_t> bytes = readBoundedFile(file, kMaxTextFileBytes, what);
        ++content_.iplFiles;
        for (const inspect::TextSection& section : inspect::readTextSections(bytes, what))
            if (section.keyword == "inst") content_.placements += int(section.lines);
    }

    void readArchive(const fs::path& img, const std::string& where) {
        const std::string what = relativeText(realRoot_, img) + " (" + where + ")";
        std::error_code error;
        const auto imgSize = std::int64_t(fs::file_size(img, error));
        if (error) throw VeldrinError(texts::unreadable(what, error.message()));
        std::vector<inspect::ImgEntry> entries;
        const std::vector<uint8_t> first = readFileStart(img, 8, what);
        if (inspect::startsVer2(first)) {
            const std::int64_t headerSize = inspect::ver2HeaderSize(first);
            if (headerSize > imgSize || std::uintmax_t(headerSize) > kMaxDirectoryBytes)
                throw VeldrinError(texts::directoryPastEnd(what, headerSize, imgSize));
            entries = inspect::readVer2Entries(readFileStart(img, std::size_t(headerSize), what), what);
        } else {
            const fs::path dirName = fs::path(img.filename()).replace_extension(".dir");
            const auto dir = inFolder(findInGameFolder(img.parent_path(), dirName.string()), what, dirName.string());
            if (!dir) throw VeldrinError(texts::missingDirectory(what, dirName.string()));
            const std::string dirWhat = relativeText(realRoot_, *dir) + " (the directory of " + what + ")";
            entries = inspect::readDirEntries(readBoundedFile(*dir, kMaxDirectoryBytes, dirWhat), dirWhat);
        }
        inspect::checkEntriesInside(entries, imgSize, what);
        ++content_.archives;
        for (const inspect::ImgEntry& entry : entries) {
            const std::string name = toLower(entry.name);
            content_.archiveEntries.insert(name);
            // Every dictionary of an archive takes a slot; so does, in VC and SA, every collision file.
            if (name.ends_with(".txd")) content_.dictionaryNames.insert(stemOf(name));
            if (name.ends_with(".col")) ++content_.collisionFiles;
        }
    }

    const GameFolder& game_;
    fs::path realRoot_;
    GameContent content_;
    std::set<fs::path> read_;
};

} // namespace

GameContent readGameContent(const GameFolder& game) {
    ContentReader reader(game);
    // The order the game reads them: default.dat, then its own data file.
    reader.readDataFile(game.defaultDataFile);
    reader.readDataFile(game.gameDataFile);
    reader.readOwnArchives();
    GameContent content = reader.finish();
    content.adjusters = readLimitAdjusters(game);
    return content;
}

} // namespace veldrin::install
