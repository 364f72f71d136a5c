#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace veldrin::test {

// A fresh folder under the system's temporary folder, removed with its contents on destruction.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag = "veldrin");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Every file under a folder, its subfolders included, with its bytes, by its path relative to the folder:
// two trees compare equal when they hold the same files with the same bytes.
std::map<std::string, std::vector<uint8_t>> filesUnder(const std::filesystem::path& folder);

} // namespace veldrin::test
