#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "app/run/DictionaryAssignment.h"
#include "level/LevelInput.h"
#include "level/WorldTables.h"
#include "level/ZonFile.h"

namespace veldrin {

// One model the run converts, with all it needs from the world tables.
struct PlannedModel {
    int resourceIndex = 0;
    std::string name;
    int64_t firstPart = 0;       // position of its geometry in the level
    int64_t secondPart = 0;      // the second geometry part of a pair; 0 = none
    bool drawLast = false;       // from its instance lists or from being paired
    int drawDistance = 0;
    std::array<float, 3> scale{0, 0, 0};
    std::vector<int> textureIds; // of both parts' material records, for the name checks
};

// One placement that survives pairing and the zone filter, in instance id order.
struct PlannedInstance {
    int model = 0; // resource index
    std::array<float, 3> position{0, 0, 0};
    std::array<float, 4> rotation{0, 0, 0, 0};
};

struct RunPlan {
    std::vector<PlannedModel> models;       // in resource order
    std::vector<PlannedInstance> instances; // every surviving placement; only those of committed models are written
};

// What a run does with a level, decided before any model is decoded: instances sharing an id pair their
// models (the second becomes the first's second part, drawn last), instances outside the chosen island
// are dropped when `zones` is given (MegaLODs only survive with forceMegaLods), and every located,
// instanced model that is not a pair's second part, keeps a placement and has materials in its first
// part is planned. Pure: the tables are only read.
// Safe for untrusted input: a level whose planned models' vertex data passes geometryReadBound names
// the same geometry over and over, and is refused before a model is converted.
RunPlan planRun(const LevelBuffer& level, const WorldTables& tables, const ConversionOptions& options,
                const ZoneTable* zones);

// The dictionaries the plan leads to when no model is skipped: every one a run may build, with the
// textures its models' material records name.
std::vector<DictionaryPlan> plannedDictionaries(const std::vector<PlannedModel>& models, const ConversionOptions& options);

// Refuses, before anything is written, names the output formats cannot hold: texture names over the
// texture name limit, model names over 19 characters with blank collision on, IMG entry names over 24
// bytes (models and `dictionaries`, every one the plan can lead to: plannedDictionaries).
void checkOutputNames(const ConversionOptions& options, const std::vector<PlannedModel>& models,
                      const std::vector<DictionaryPlan>& dictionaries);

inline constexpr std::size_t kMaxColModelNameLength = 19;
inline constexpr std::size_t kMaxImgEntryNameLength = 24;

} // namespace veldrin
