#include "scene/Scene.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>

#include "base/Error.h"
#include "base/ParallelFor.h"
#include "base/TextUtil.h"
#include "inspect/DffRead.h"
#include "inspect/TxdRead.h"
#include "texture/DictionaryDecoder.h"

namespace veldrin {

SceneModel readSceneModel(std::span<const uint8_t> dff, const std::string& name) {
    inspect::DffModel file = inspect::readDff(dff, name + ".dff");
    if (file.geometries.empty()) throw VeldrinError(name + ".dff holds no geometry");
    inspect::DffGeometry& g = file.geometries.front();
    SceneModel m;
    m.name = name;
    m.positions = std::move(g.positions);
    if (g.coordinates.size() == m.positions.size()) m.uvs = std::move(g.coordinates);
    if (g.prelit.size() == m.positions.size()) m.day = std::move(g.prelit);
    if (g.night.size() == m.positions.size()) m.night = std::move(g.night);
    m.materialNames = std::move(g.materialNames);
    m.materialTexture.assign(m.materialNames.size(), -1);
    m.triangles.reserve(g.triangles.size());
    m.triangleMaterial.reserve(g.triangles.size());
    const std::size_t vertices = m.positions.size();
    for (const auto& t : g.triangles) {
        // Stored as b, a, material, c.
        const std::array<uint32_t, 3> tri{t[1], t[0], t[3]};
        if (tri[0] >= vertices || tri[1] >= vertices || tri[2] >= vertices || t[2] >= m.materialNames.size())
            throw VeldrinError(name + ".dff has a triangle past its vertices or materials");
        m.triangles.push_back(tri);
        m.triangleMaterial.push_back(t[2]);
    }
    if (!m.positions.empty()) {
        m.boundsMin = m.boundsMax = m.positions.front();
        for (const auto& p : m.positions)
            for (int a = 0; a < 3; ++a) {
                m.boundsMin[a] = std::min(m.boundsMin[a], p[a]);
                m.boundsMax[a] = std::max(m.boundsMax[a], p[a]);
            }
    }
    return m;
}

std::vector<SceneTexture> readSceneTextures(std::span<const uint8_t> txd, const std::string& dictionary, SceneTexels texels) {
    std::vector<SceneTexture> out;
    if (texels == SceneTexels::Skipped) {
        // The dictionary's own word for alpha: Direct3D 9's flags, or Direct3D 8's alpha word.
        for (const inspect::TxdTexture& t : inspect::readTxd(txd, dictionary + ".txd").textures) {
            const bool alpha = t.platform == inspect::kPcPlatformD3d9 ? (t.flags & 1) != 0 : t.alphaWord != 0;
            out.push_back({dictionary, t.name, t.width, t.height, alpha, {}});
        }
        return out;
    }
    for (DictionaryTexture& t : decodeDictionary(txd, dictionary + ".txd"))
        out.push_back({dictionary, std::move(t.name), t.width, t.height, t.hasAlpha, std::move(t.rgba)});
    return out;
}

Scene buildScene(const std::string& level, const std::vector<SceneModelInput>& models,
                 const std::vector<SceneDictionaryInput>& dictionaries, const std::vector<ScenePlacementInput>& placements,
                 std::vector<std::string>& problems, SceneTexels texels, int jobs) {
    Scene scene;
    scene.level = level;
    // Texture names compare as the game compares them: without case.
    std::map<std::pair<std::string, std::string>, int> byDictionary;
    std::map<std::string, int> anywhere;
    for (const SceneDictionaryInput& d : dictionaries) {
        try {
            for (SceneTexture& t : readSceneTextures(d.txd, d.name, texels)) {
                const int index = static_cast<int>(scene.textures.size());
                byDictionary.emplace(std::pair{toLower(d.name), toLower(t.name)}, index);
                anywhere.emplace(toLower(t.name), index);
                scene.textures.push_back(std::move(t));
            }
        } catch (const VeldrinError& e) {
            problems.push_back(e.what());
        }
    }
    // Each model is read on its own (a failure stays its own); they join the scene in the order given.
    std::vector<std::optional<SceneModel>> read(models.size());
    std::vector<std::string> readProblems(models.size());
    std::vector<std::exception_ptr> unexpected;
    parallelFor(models.size(), jobs, [&](std::size_t i) {
        try {
            read[i] = readSceneModel(models[i].dff, models[i].name);
        } catch (const VeldrinError& e) {
            readProblems[i] = e.what();
        }
    }, unexpected);
    rethrowFirst(unexpected);
    std::unordered_map<std::string, int> modelIndex;
    for (std::size_t r = 0; r < models.size(); ++r) {
        const SceneModelInput& input = models[r];
        if (!read[r]) {
            problems.push_back(readProblems[r]);
            continue;
        }
        SceneModel& m = *read[r];
        m.ideId = input.ideId;
        m.dictionary = input.dictionary;
        m.lod = input.lod;
        const std::string dictionary = toLower(input.dictionary);
        for (std::size_t i = 0; i < m.materialNames.size(); ++i) {
            const std::string texture = toLower(m.materialNames[i]);
            if (texture.empty()) continue;
            if (auto found = byDictionary.find({dictionary, texture}); found != byDictionary.end())
                m.materialTexture[i] = found->second;
            else if (auto any = anywhere.find(texture); dictionary.empty() && any != anywhere.end())
                m.materialTexture[i] = any->second;
        }
        modelIndex.emplace(m.name, static_cast<int>(scene.models.size()));
        scene.models.push_back(std::move(m));
    }
    for (const ScenePlacementInput& p : placements) {
        const auto found = modelIndex.find(p.model);
        if (found == modelIndex.end()) continue;
        scene.placements.push_back({found->second, p.position, p.rotation});
    }
    return scene;
}

std::size_t sceneTriangleCount(const Scene& scene) {
    std::size_t total = 0;
    for (const SceneModel& m : scene.models) total += m.triangles.size();
    return total;
}

} // namespace veldrin
