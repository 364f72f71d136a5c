#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Every message the install library gives the user, in one place. Each names the file concerned and
// says what to do.
namespace veldrin::install::texts {

// Recognising the game folder
std::string notAGameFolder(const std::filesystem::path& root, const std::string& found);
std::string noSuchFolder(const std::filesystem::path& root);
std::string notAFolder(const std::filesystem::path& root);
std::string dataFolderGiven(const std::filesystem::path& root, const std::filesystem::path& parent);
std::string twoGames(const std::filesystem::path& root, const std::string& first, const std::string& second);

// Reading the game's content
std::string missingOwnArchive(const std::filesystem::path& root, const std::string& gamePath);
std::string lineWithoutPath(const std::string& where, const std::string& keyword);
std::string missingNamedFile(const std::string& where, const std::string& gamePath);
std::string notText(const std::string& what, std::size_t line);
std::string badDefinition(const std::string& what, std::size_t line, const std::string& section, const std::string& text);
std::string unreadable(const std::string& what, const std::string& reason);
std::string directoryPastEnd(const std::string& what, std::int64_t directoryBytes, std::int64_t archiveBytes);
std::string missingDirectory(const std::string& what, const std::string& dirName);

// Reading a limit adjuster's configuration (notes: the stock limit stands)
std::string adjusterNotText(const std::string& file);
std::string adjusterTooLarge(const std::string& file, std::uintmax_t limit);
std::string adjusterBadValue(const std::string& file, std::size_t line, const std::string& key, const std::string& value,
                             long long highest, bool mayBeUnlimited);
std::string adjusterIdPatchOff(const std::string& file, std::size_t line, const std::string& key);

// Committing an install
std::string badStaging(const std::filesystem::path& staging);
std::string badLine(const std::string& keyword, const std::string& path, const std::string& why);
std::string readOnlyDataFile(const std::filesystem::path& dataFile);
std::string foreignInstallFolder(const std::filesystem::path& folder);
std::string changedSinceInstall(const std::vector<std::string>& files);
std::string noStagingFolder(const std::filesystem::path& folder, const std::string& reason);
std::string notPlainFile(const std::filesystem::path& file);
std::string failed(const std::string& reason);
std::string stopped();
std::string leftAsItWas(const std::string& cause);
std::string notRestored(const std::string& cause, const std::vector<std::string>& problems);

// The install record and uninstall
std::string noInstall(const std::filesystem::path& root);
std::string badRecord(const std::filesystem::path& record, const std::string& why);
std::string linkRefused(const std::filesystem::path& link);
std::string linkOutOfFolder(const std::string& where, const std::string& gamePath, const std::string& why);
std::string strayLines(const std::filesystem::path& dataFile, const std::vector<std::string>& lines);
std::string unplacedLines(const std::filesystem::path& dataFile, const std::vector<std::string>& lines);

} // namespace veldrin::install::texts
