#pragma once
#include <filesystem>
#include <string>

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

} // namespace veldrin::test
