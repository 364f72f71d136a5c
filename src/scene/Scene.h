#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin {

// A converted level as a viewer or an exporter sees it: the models as written to their DFFs, their
// placements as written to the IPL (map offset applied) and the textures of the written dictionaries.
// The models are the values their DFFs store, the textures are read back from the dictionaries' bytes:
// what is shown is what the game will load.

// One texture of a written dictionary, level 0 decoded.
struct SceneTexture {
    std::string dictionary; // without extension, as the IDE names it
    std::string name;
    int width = 0, height = 0;
    bool alpha = false;        // the dictionary says the texture has alpha
    std::vector<uint8_t> rgba; // width * height * 4 bytes: red, green, blue, alpha
};

// One model: the first geometry of its DFF (the files this program writes hold one).
struct SceneModel {
    std::string name;
    int ideId = -1;          // -1 without IDE files
    std::string dictionary;  // the dictionary its IDE line names; "" when none is written
    bool lod = false;        // drawn from far away (a LOD or a MegaLOD)
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> uvs;          // one per vertex, or empty when the model has none
    std::vector<std::array<uint8_t, 4>> day;        // prelight, one per vertex, or empty
    std::vector<std::array<uint8_t, 4>> night;      // night colours, one per vertex, or empty when not written
    std::vector<std::array<uint32_t, 3>> triangles; // vertex indices, in the winding the game draws
    std::vector<uint16_t> triangleMaterial;         // per triangle, into `materialTexture`
    std::vector<int> materialTexture;               // per material: into Scene::textures, -1 untextured or missing
    std::vector<std::string> materialNames;         // per material: the texture it names ("" untextured)
    std::array<float, 3> boundsMin{0, 0, 0}, boundsMax{0, 0, 0};
};

// One placement line of the IPL.
struct ScenePlacement {
    int model = 0; // into Scene::models
    std::array<double, 3> position{0, 0, 0}; // as written: the map offset applied
    std::array<float, 4> rotation{0, 0, 0, 1}; // quaternion x, y, z, w, as written
};

struct Scene {
    std::string level;
    std::vector<SceneModel> models;
    std::vector<ScenePlacement> placements;
    std::vector<SceneTexture> textures;
};

// What the run hands over to build its scene: the bytes it wrote.
struct SceneDictionaryInput {
    std::string name; // without extension
    std::span<const uint8_t> txd;
};

struct ScenePlacementInput {
    std::string model; // the model's name, as the IPL line names it
    std::array<double, 3> position{0, 0, 0};
    std::array<float, 4> rotation{0, 0, 0, 1};
};

// What is read of a dictionary's textures: their texels decoded, or only their names, sizes and alpha
// (for a viewer that shows the texels from elsewhere, `rgba` then empty).
enum class SceneTexels { Decoded, Skipped };

// Reads every texture of one written dictionary, in dictionary order.
std::vector<SceneTexture> readSceneTextures(std::span<const uint8_t> txd, const std::string& dictionary,
                                            SceneTexels texels = SceneTexels::Decoded);

// Builds the whole scene from the models as written (in the order given, their textures unresolved),
// each material's texture looked up by name in the model's dictionary (or in any dictionary when the
// model names none); placements of models not given are left out. A dictionary that cannot be read is
// left out and its problem added to `problems`.
Scene buildScene(const std::string& level, std::vector<SceneModel> models, const std::vector<SceneDictionaryInput>& dictionaries,
                 const std::vector<ScenePlacementInput>& placements, std::vector<std::string>& problems,
                 SceneTexels texels = SceneTexels::Decoded);

// Totals a viewer shows and a test compares against the manifest.
std::size_t sceneTriangleCount(const Scene& scene);

} // namespace veldrin
