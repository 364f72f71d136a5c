#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "collision/StoriesColModel.h"

namespace veldrin::test {

// Builds synthetic Stories collision inputs: collision models, COL2 files, GAME.DTZ and IMG archives.

struct TestColSphere {
    std::array<float, 3> centre{};
    float radius = 1;
    uint8_t material = 0;
    uint8_t flag = 0;
};

struct TestColBox {
    std::array<float, 3> min{};
    std::array<float, 3> max{};
    std::array<uint8_t, 4> surface{};
};

struct TestColFace {
    std::array<int16_t, 3> corners{}; // byte offsets into the vertex section (index x 6)
    uint8_t material = 0;
};

struct TestColModel {
    std::array<float, 3> centre{};
    float radius = 0;
    std::array<float, 3> min{};
    std::array<float, 3> max{};
    std::vector<TestColSphere> spheres;
    std::vector<TestColBox> boxes;
    std::vector<std::array<int16_t, 3>> vertices; // fixed point, 128 to the unit
    std::vector<TestColFace> faces;
};

// Appends the model's header (96 bytes for LCS, 80 for VCS) and its sections to `out`, the sections
// in an order unlike the header's so that only the offsets find them. Section offsets count from
// `sectionBase`. Returns the header's position in `out`.
uint32_t appendColModel(std::vector<uint8_t>& out, const TestColModel& model, StoriesEdition edition, int64_t sectionBase);

// Header fields, from the header's first byte, of the section offsets in each edition.
struct ColHeaderFields {
    int sphereOffset, boxOffset, vertexOffset, faceOffset;
    int sphereCount, boxCount, faceCount;
};
ColHeaderFields colHeaderFields(StoriesEdition edition);

// One box from (-1, -1, -1) to (size, size, size) and one vertex, in a sphere of radius `size`.
TestColModel boxModel(float size);

struct TestCol2Entry {
    int32_t modelIndex = 0;
    TestColModel model;
};

// A COL2 file: "2loc", a zero word, 24 more header bytes, the index table closed by -1, the models.
std::vector<uint8_t> buildCol2(const std::vector<TestCol2Entry>& entries, StoriesEdition edition);

// A COL2 file whose index has `copies` entries that all name the one model behind them: for model
// index 0 each, or for 0, 1, 2 ... with `distinctIndices`.
std::vector<uint8_t> buildSharedCol2(const TestColModel& model, int copies, bool distinctIndices, StoriesEdition edition);

struct TestDtzInstance {
    int model = 0;
    std::array<float, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1}; // rows 0, 1, 2
    std::array<float, 3> position{};
};

// An instance of `model` at (x, y, z), unturned.
TestDtzInstance placedAt(int model, float x, float y, float z);

struct TestDtzPool {
    std::vector<TestDtzInstance> instances;
    std::optional<int32_t> lastIndex; // the pool header's N; by default instances.size() - 1
};

struct TestDtz {
    int modelCount = 0;
    std::map<int, TestColModel> collisions; // models whose info record points at a model in GAME.DTZ
    std::vector<int> withoutCollision;      // models with an info record whose collision offset is 0
    TestDtzPool buildings, treadables, dummies;
};

// Offsets of the decompressed GAME.DTZ that tests patch.
inline constexpr int kDtzBuildingsAt = 36;
inline constexpr int kDtzTreadablesAt = 40;
inline constexpr int kDtzDummiesAt = 44;
inline constexpr int kDtzModelCountAt = 56;
inline constexpr int kDtzModelTableAt = 60;

std::vector<uint8_t> buildDtzData(const TestDtz& dtz, StoriesEdition edition); // decompressed
std::vector<uint8_t> buildDtz(const TestDtz& dtz, StoriesEdition edition);     // one zlib stream

// An IMG archive's data: `fillerSectors` sectors of other data, then each file from a sector start,
// padded to whole sectors.
std::vector<uint8_t> buildColImg(const std::vector<std::vector<uint8_t>>& files, int fillerSectors = 1);

} // namespace veldrin::test
