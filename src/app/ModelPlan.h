#pragma once
#include <string>
#include <vector>

#include "app/ConversionOptions.h"
#include "level/LevelInput.h"
#include "level/WorldTables.h"

namespace veldrin {

struct PlannedModel {
    int resourceIndex = 0;
    std::string name;
    std::vector<int> textureIds; // of its material records, for the name checks
};

// The models a run converts, in resource order: located, instanced, not the second part of a pair,
// with a surviving instance, and with materials in their first part.
std::vector<PlannedModel> planModels(const LevelBuffer& level, const WorldTables& tables, const ConversionOptions& options);

// Refuses, before anything is written, names the output formats cannot hold: texture names over 31
// characters, model names over 19 characters with blank collision on, IMG entry names over 24 bytes.
void checkOutputNames(const ConversionOptions& options, const std::vector<PlannedModel>& models);

inline constexpr std::size_t kMaxTextureNameLength = 31;
inline constexpr std::size_t kMaxColModelNameLength = 19;
inline constexpr std::size_t kMaxImgEntryNameLength = 24;

} // namespace veldrin
