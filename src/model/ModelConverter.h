#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Editions.h"
#include "model/DffModel.h"

namespace veldrin {

struct ModelParams {
    GameVersion edition = GameVersion::LcsPs2;
    TargetGame target = TargetGame::Gta3;
    std::string modelName;      // prefix and resource index, formed by the caller
    std::string texturePrefix;
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f}; // lengths of the placement matrix rows
    bool optimiseMesh = false;
    bool nightPrelit = false;   // GTA SA only: lifted day colours plus a night colour set
    int dayMinimum = 64, nightMinimum = 16;
    bool keepWritten = false;   // also give the values the DFF holds, for a caller that shows the model
};

struct ModelOutput {
    bool produced = false;          // false: nothing at all is written for this model
    std::string skipReason;         // set when the model is left out for a reason worth a warning
    std::vector<uint8_t> dff;
    std::vector<int> textureIds;    // distinct texture ids (signed 16-bit values), first-appearance order
    std::array<float, 3> boundsMin{2000.0f, 2000.0f, 2000.0f}; // over every written position
    std::array<float, 3> boundsMax{-2000.0f, -2000.0f, -2000.0f};
    std::optional<DffModel> written; // with keepWritten: the values the DFF holds, as the writer stored them
};

// Converts one model whose geometry starts at `firstPart` in the level, with an optional second part
// (`secondPart` 0 = none). A first part without materials gives produced = false and no reason. Throws
// VeldrinError when the geometry points outside the level.
// Safe for untrusted input: material records and vertex batches are checked inside the level before
// they are read, so what is decoded and written grows only with the bytes they cover.
ModelOutput convertModel(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                         const ModelParams& params);

// The distinct texture ids of both parts' material records, without decoding vertices, so names can be
// checked before anything is written. Empty when the first part has no materials.
std::vector<int> readModelTextureIds(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                     GameVersion edition);

// What a model's material records promise before a vertex is decoded: its distinct texture ids (as
// readModelTextureIds) and the bytes of the level its vertex data covers (both parts; data the level
// does not hold is not counted), which its DFF grows with.
struct ModelFootprint {
    std::vector<int> textureIds;
    int64_t geometryBytes = 0;
};
ModelFootprint readModelFootprint(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                                  GameVersion edition);

} // namespace veldrin
