#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "app/run/LevelRun.h"
#include "support/LevelBuilder.h"
#include "support/TempFolder.h"

namespace veldrin::test {

// A tiny level made to order: textures 0..textures-1 in the world table, models after them in one
// cell, each instance placed in the cell's list given.
struct SmallLevel {
    GameVersion edition = GameVersion::LcsPs2;
    int textures = 2;
    struct Model {
        std::vector<int> textureIds{0};
        int list = 2;
        bool noMaterials = false;
    };
    std::vector<Model> models;
    // (instance id, model number, position) — the model number counts from 0 in `models`.
    struct Instance {
        int id;
        int model;
        std::array<float, 3> position{10, 10, 0};
    };
    std::vector<Instance> instances;

    int modelIndex(int model) const { return textures + model; }
    LevelDescription describe() const;
};

struct RunResult {
    RunSummary summary;
    std::vector<std::string> statuses;
    std::vector<std::string> warnings;
    std::vector<std::pair<int, int>> progress; // (position, maximum) as reported
};

// Options as a pick of `lvz` gives them, with the sample's defaults.
ConversionOptions optionsFor(const std::filesystem::path& lvz, GameVersion edition);
RunResult runAndCollect(const ConversionOptions& options);

std::vector<std::string> readLines(const std::filesystem::path& file);
// Lines of one section ("objs", "inst") without the keyword and its "end".
std::vector<std::string> sectionLines(const std::vector<std::string>& lines, const std::string& section);
std::vector<std::string> splitFields(const std::string& line);
std::vector<std::string> filesIn(const std::filesystem::path& folder);
// Every file of the run as it is on disk: loose files read whole, archive entries cut from the archive
// at the place its own directory gives, named "LEVEL.IMG/ENTRY".
std::map<std::string, std::vector<uint8_t>> filesOnDisk(const std::filesystem::path& folder, const std::string& level,
                                                         TargetGame target, bool archive);

} // namespace veldrin::test
