#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/Editions.h"
#include "level/LevelInput.h"

namespace veldrin::test {

// Builds a synthetic LVZ + IMG pair in any edition's layout from a compact description.

struct TestInstance {
    int id = 0;        // instance id (the builder writes it as given; only the low 15 bits count)
    int model = 0;     // resource index of the model
    int list = 2;      // instance list inside the block
    std::array<float, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1}; // rows 0, 1, 2
    std::array<float, 3> position{0, 0, 0};                 // before placement
};

struct TestCell {
    int row = 0;        // 0-based row of the row table (regular cells), or the extra cell's row
    int column = 0;
    bool extra = false; // a cell of the last row, described by the extra cell table
    std::vector<TestInstance> instances;
    std::vector<int> listedResources; // resource indices listed in this block without bytes of their own
};

enum class Where { WorldTable, Cell, TrailingBlock, ExtraBlock };

struct Placement {
    Where where = Where::WorldTable;
    int container = 0; // index into cells, trailing blocks or extra blocks
};

// A resource's bytes as a function of the distance of its first byte from its Base.
using ResourceEncoder = std::function<std::vector<uint8_t>(uint32_t offsetFromBase)>;

struct TestResource {
    ResourceEncoder encode;
    std::vector<Placement> placements{Placement{}}; // every place that lists it, in order
};

struct LevelDescription {
    GameVersion edition = GameVersion::LcsPs2;
    int resourceCount = 0;
    std::map<int, TestResource> resources;
    std::vector<TestCell> cells;
    int trailingBlocks = 0;
    int extraBlocks = 0;                     // VCS only
    std::map<int, int32_t> rowStarts;        // row -> RowStart (default 0)
    std::map<int, std::vector<int>> trailingListed; // trailing block -> extra listed indices
    int listTablePadding = 0; // bytes between a cell block's list table and its first instance list
};

struct BuiltLevel {
    std::vector<uint8_t> world; // the inflated world resource
    std::vector<uint8_t> lvz;   // zlib-compressed world
    std::vector<uint8_t> img;
    LevelBuffer buffer() const;
    // Writes NAME.lvz and NAME.IMG into the folder; returns the LVZ path.
    std::filesystem::path write(const std::filesystem::path& folder, const std::string& name) const;
};

BuiltLevel buildLevel(const LevelDescription& description);

std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& bytes);
uint32_t packFloat(float value); // the PSP packed form (drops the low 8 mantissa bits)

} // namespace veldrin::test
