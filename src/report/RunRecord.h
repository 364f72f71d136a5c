#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace veldrin {

// One file the run wrote. `archive` names the IMG archive holding it, or is empty for a loose file.
struct RecordedFile {
    std::string name;
    int64_t bytes = 0;
    std::string sha256;
    std::optional<std::string> archive;
};

// What the report tells of one run, in the terms of the command line.
struct RunRecord {
    using OptionValue = std::variant<bool, int64_t, std::string>;

    struct Level {
        std::string name, lvz, img, edition;
        bool editionDetected = false;
    } level;
    bool converted = true; // false: the pictures of a level made before converting it
    std::vector<std::pair<std::string, OptionValue>> options; // command-line name, value
    std::string output;                                       // the level's output folder
    std::vector<RecordedFile> files;
    struct Counts {
        int models = 0, modelsSkipped = 0, dictionaries = 0, textures = 0, placements = 0, warnings = 0;
    } counts;
    std::vector<std::pair<std::string, std::string>> warnings; // kind id, text
    double seconds = 0;
    // The command-line names of the options that differ from their defaults: the page marks these.
    std::vector<std::string> optionsChanged;
    // One row per model for the page's table (not in the manifest, which lists the files).
    struct Model {
        std::string name;
        std::optional<int> id; // IDE id
        std::string dictionary;
        int triangles = -1, vertices = -1; // -1: not known
        int64_t bytes = -1;
    };
    std::vector<Model> models;

    // Adds a warning and counts it.
    void warn(std::string kind, std::string text) {
        warnings.emplace_back(std::move(kind), std::move(text));
        counts.warnings = static_cast<int>(warnings.size());
    }
};

// The program's version, as the build sets it.
const char* veldrinVersion();

// manifest.json: tool, version, level, options, output, files, counts, warnings, seconds.
std::string manifestJson(const RunRecord& record);

} // namespace veldrin
