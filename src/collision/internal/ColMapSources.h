#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "collision/StoriesColModel.h"
#include "level/GameDataPools.h"

namespace veldrin {

// Reading the collision map's inputs: the model table and instance pools of the inflated GAME.DTZ
// and the COL2 files inside the IMG. Every offset and count is checked against its data.

inline constexpr uint32_t kDtzMagic = 0x47544147; // "GATG"

// One row per entry of the game's model table.
struct ColMapModel {
    int64_t colOffset = 0;   // the model's collision header in its stream; 0 = no record
    int64_t sectionBase = 0; // base of its section offsets: 0 in GAME.DTZ, the COL2 file's start in the IMG
    bool inImg = false;
    bool isEmpty = false;
    bool isUsed = false;     // a collected instance uses it
    int32_t colMapIndex = 0; // running number among the converted models
};

struct ColMapInstance {
    int32_t model = 0;
    std::array<float, 3> position{};
    std::array<float, 4> rotation{}; // quaternion x, y, z, w
};

using WarningSink = std::function<void(const std::string&)>;

// One row per model table entry, with the collision offsets that GAME.DTZ gives.
std::vector<ColMapModel> readDtzModelTable(std::span<const uint8_t> dtz);

// Every COL2 file that starts on a 2048-byte sector of the IMG (with a zero word after "2loc")
// points its models at itself, over what GAME.DTZ gave; a later entry wins over an earlier one.
// Entries with a model index outside the table are skipped with a warning. Each file's index table
// ends before the next file's start; one that reaches it unclosed is refused with VeldrinError.
// Safe for untrusted input: reads each IMG byte at most twice, whatever the files' tables claim.
void applyImgCollisions(std::vector<ColMapModel>& models, std::span<const uint8_t> img, const WarningSink& warn);

// Sets isEmpty of every row with a record, reading its header from the IMG or GAME.DTZ.
void markEmptyModels(std::vector<ColMapModel>& models, std::span<const uint8_t> dtz, std::span<const uint8_t> img,
                     StoriesEdition edition);

// Appends the pool's instances whose model has a non-empty record, and marks those models used.
// Entries naming a model outside the table are skipped with a warning.
void collectPool(std::span<const uint8_t> dtz, GameDataPool pool, std::vector<ColMapModel>& models,
                 std::vector<ColMapInstance>& instances, const WarningSink& warn);

// "Collision model 12 in the IMG" / "... in GAME.DTZ": the name used in messages about a model.
std::string colModelLabel(std::size_t index, const ColMapModel& model);

} // namespace veldrin
