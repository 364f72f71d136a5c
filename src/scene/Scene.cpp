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
    using Names = std::unordered_map<std::string, int>;
    std::unordered_map<std::string, Names> byDictionary;
    Names anywhere;
    for (const SceneDictionaryInput& d : dictionaries) {
        try {
            std::vector<SceneTexture> textures = readSceneTextures(d.txd, d.name, texels);
            Names& own = byDictionary[toLower(d.name)];
            own.reserve(own.size() + textures.size());
            anywhere.reserve(anywhere.size() + textures.size());
            for (SceneTexture& t : textures) {
                const int index = static_cast<int>(scene.textures.size());
                std::string name = toLower(t.name);
                own.emplace(name, index);
                anywhere.emplace(std::move(name), index);
                scene.textures.push_back(std::move(t));
            }
        } catch (const VeldrinError& e) {
            problems.push_back(e.what());
        }
    }
    std::unordered_map<std::string, int> modelIndex;
    modelIndex.reserve(models.size());
    scene.models.reserve(models.size());
    // Models come in runs of the same dictionary: its lookup is kept from one model to the next.
    std::string dictionary = "\n"; // no dictionary's name
    const Names* own = nullptr;
    for (SceneModel& m : models) {
        if (m.dictionary != dictionary) {
            dictionary = m.dictionary;
            const auto found = byDictionary.find(toLower(dictionary));
            own = found == byDictionary.end() ? nullptr : &found->second;
        }
        m.materialTexture.assign(m.materialNames.size(), -1);
        for (std::size_t i = 0; i < m.materialNames.size(); ++i) {
            const std::string texture = toLower(m.materialNames[i]);
            if (texture.empty()) continue;
            if (own) {
                if (const auto found = own->find(texture); found != own->end()) {
                    m.materialTexture[i] = found->second;
                    continue;
                }
            }
            if (const auto any = anywhere.find(texture); dictionary.empty() && any != anywhere.end()) m.materialTexture[i] = any->second;
        }
        modelIndex.emplace(m.name, static_cast<int>(scene.models.size()));
        scene.models.push_back(std::move(m));
    }
    scene.placements.reserve(placements.size());
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
