#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Editions.h"

namespace veldrin {

// Where one resource (model or texture) lies in the LevelBuffer.
struct ResourceEntry {
    int64_t position = 0;        // first byte in the LevelBuffer; 0 = not located
    bool fromWorldTable = false; // located through the world's resource table
    int64_t base = 0;            // offsets stored inside the resource count from here
};

// What is known of a resource that instances use as a model.
struct ModelRecord {
    int ideId = 0;
    bool hasIdeId = false;       // an id of 0 is a real id
    bool instanced = false;
    std::array<float, 3> scale{0, 0, 0};
    int drawDistance = 0;        // 3000 or 299
    bool drawLast = false;
    int64_t pairResource = 0;    // position of the second geometry part; 0 = none
    bool isPairModel = false;
    bool megaLod = false;
    bool used = false;
    uint8_t lists = 0;           // bit j: seen in instance list j
};

// One instance slot, indexed by the 15-bit instance id.
struct PlacedInstance {
    int model = 0;
    int row = 0;
    int column = 0;
    int rowStart = 0;
    std::array<float, 3> position{0, 0, 0};
    std::array<float, 4> rotation{0, 0, 0, 0};
    bool defined = false;
    int pairModel = -1;          // resource index of a second model met under this id; -1 = none
};

inline constexpr int kInstanceSlots = 32768; // ids are 15 bits wide

// Counts of what the reading pass found, for reports and warnings.
struct WorldStats {
    int cells = 0;
    int extraCells = 0;
    int trailingBlocks = 0;
    int extraBlocks = 0;
    int locatedByWorldTable = 0;
    int locatedByBlocks = 0;
    int locatedByTrailingBlocks = 0;
    int locatedByExtraBlocks = 0;
    int instanceRecords = 0;
    int skippedResourceIndices = 0; // indices at or above ResourceCount in records or lists
    // How well the cells fit the edition's layout (edition detection weighs these): cells whose first
    // instance list starts right after their list table, and non-empty lists of whole records.
    int cellsWithListsAfterTable = 0;
    int wholeRecordLists = 0;
};

struct WorldTables {
    GameVersion edition = GameVersion::LcsPs2;
    int resourceCount = 0;
    std::vector<ResourceEntry> resources;  // resourceCount entries
    std::vector<ModelRecord> models;       // resourceCount entries
    std::vector<PlacedInstance> instances; // by id, up to the highest id placed (at most kInstanceSlots)
    WorldStats stats;
};

// Layout constants that differ by edition.
struct WorldLayout {
    int cellCount;        // cells per grid row
    int rowCount;         // rows in the row table
    int extraCellTable;   // world offset of the extra cell count and table offset
    bool hasExtraBlocks;  // extra block table at world offset 752
    int resourceEntrySize;
    int instanceLists;
    int instanceRecordSize;
    float xShift;         // applied after placement
};
WorldLayout worldLayout(GameVersion edition);

// Model name: the LOD prefix for models drawn from 300 units on, else the model prefix, then the index.
std::string modelName(const ModelRecord& model, int resourceIndex, const std::string& modelPrefix,
                      const std::string& lodPrefix);
std::string modelName(int drawDistance, int resourceIndex, const std::string& modelPrefix, const std::string& lodPrefix);

} // namespace veldrin
