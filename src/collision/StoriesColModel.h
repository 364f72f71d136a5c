#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace veldrin {

// The collision layout of a Stories game: it decides where a model header keeps its counts and
// section offsets. The section records are the same in both.
enum class StoriesEdition { LCS = 1, VCS = 2 };

// Command-line spellings "lcs" and "vcs".
std::optional<StoriesEdition> parseStoriesEdition(std::string_view text);

using ColVector = std::array<float, 3>;

struct ColSphere {
    ColVector centre{};
    float radius = 0;
    uint8_t material = 0;
    uint8_t flag = 0;
};

struct ColBox {
    ColVector min{};
    ColVector max{};
    std::array<uint8_t, 4> surface{}; // copied unchanged
};

struct ColFace {
    std::array<uint32_t, 3> vertices{}; // indices into the vertex list
    uint8_t material = 0;
};

// A Stories collision model decoded into the units of a PC record: vertex coordinates as floats,
// face corners as vertex indices.
struct StoriesColModel {
    ColVector centre{};
    float radius = 0;
    ColVector boxMin{};
    ColVector boxMax{};
    std::vector<ColSphere> spheres;
    std::vector<ColBox> boxes;
    std::vector<ColVector> vertices;
    std::vector<ColFace> faces;
    int skippedFaces = 0; // faces whose corner lay before the vertex section, left out
};

} // namespace veldrin
