#include "scene/Scene.h"

#include <unordered_map>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "texture/DictionaryDecoder.h"

namespace veldrin {

std::vector<SceneTexture> readSceneTextures(std::span<const uint8_t> txd, const std::string& dictionary, SceneTexels texels) {
    std::vector<SceneTexture> out;
    if (texels == SceneTexels::Skipped) {
        // The headers alone: names, sizes and the dictionary's own word for alpha.
        const DictionaryTexels headers(txd, dictionary + ".txd");
        for (const DictionaryTexture& t : headers.textures()) out.push_back({dictionary, t.name, t.width, t.height, t.hasAlpha, {}});
        return out;
    }
    for (DictionaryTexture& t : decodeDictionary(txd, dictionary + ".txd"))
        out.push_back({dictionary, std::move(t.name), t.width, t.height, t.hasAlpha, std::move(t.rgba)});
    return out;
}

Scene buildScene(const std::string& level, std::vector<SceneModel> models, const std::vector<SceneDictionaryInput>& dictionaries,
                 const std::vector<ScenePlacementInput>& placements, std::vector<std::string>& problems, SceneTexels texels) {
    Scene scene;
    scene.level = level;
    // Texture names compare as the game compares them: without case.
    std::unordered_map<std::string, std::unordered_map<std::string, int>> byDictionary;
    std::unordered_map<std::string, int> anywhere;
    for (const SceneDictionaryInput& d : dictionaries) {
        try {
            for (SceneTexture& t : readSceneTextures(d.txd, d.name, texels)) {
                const int index = static_cast<int>(scene.textures.size());
                byDictionary[toLower(d.name)].emplace(toLower(t.name), index);
                anywhere.emplace(toLower(t.name), index);
                scene.textures.push_back(std::move(t));
            }
        } catch (const VeldrinError& e) {
            problems.push_back(e.what());
        }
    }
    std::unordered_map<std::string, int> modelIndex;
    scene.models.reserve(models.size());
    for (SceneModel& m : models) {
        const std::string dictionary = toLower(m.dictionary);
        const auto own = byDictionary.find(dictionary);
        m.materialTexture.assign(m.materialNames.size(), -1);
        for (std::size_t i = 0; i < m.materialNames.size(); ++i) {
            const std::string texture = toLower(m.materialNames[i]);
            if (texture.empty()) continue;
            if (own != byDictionary.end()) {
                if (const auto found = own->second.find(texture); found != own->second.end()) {
                    m.materialTexture[i] = found->second;
                    continue;
                }
            }
            if (const auto any = anywhere.find(texture); dictionary.empty() && any != anywhere.end()) m.materialTexture[i] = any->second;
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
