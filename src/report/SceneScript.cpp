#include "report/SceneScript.h"

#include <map>

#include <nlohmann/json.hpp>

#include "base/TextUtil.h"

namespace veldrin {
namespace {

template <typename T>
std::string base64Of(const std::vector<T>& values) {
    return base64(values.data(), values.size() * sizeof(T));
}

} // namespace

std::string base64(const void* data, std::size_t bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* p = static_cast<const uint8_t*>(data);
    std::string out;
    out.reserve((bytes + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes; i += 3) {
        const uint32_t v = uint32_t(p[i]) << 16 | uint32_t(p[i + 1]) << 8 | p[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    if (i < bytes) {
        const bool two = i + 1 < bytes;
        const uint32_t v = uint32_t(p[i]) << 16 | (two ? uint32_t(p[i + 1]) << 8 : 0);
        out += kAlphabet[v >> 18];
        out += kAlphabet[v >> 12 & 63];
        out += two ? kAlphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string sceneScript(const Scene& scene, const std::vector<SceneAtlas>& atlases) {
    using Json = nlohmann::ordered_json;
    Json atlasList = Json::array();
    std::map<std::pair<std::string, std::string>, std::pair<int, const SheetCell*>> cells;
    for (std::size_t a = 0; a < atlases.size(); ++a) {
        const SceneAtlas& atlas = atlases[a];
        atlasList.push_back({{"dictionary", atlas.dictionary}, {"width", atlas.width}, {"height", atlas.height},
                             {"png", "data:image/png;base64," + base64Of(atlas.png)}});
        for (const SheetCell& c : atlas.cells) cells.emplace(std::pair{toLower(atlas.dictionary), toLower(c.name)}, std::pair{int(a), &c});
    }
    Json textures = Json::array();
    for (const SceneTexture& t : scene.textures) {
        Json entry = {{"name", t.name}, {"dictionary", t.dictionary}, {"width", t.width}, {"height", t.height}, {"alpha", t.alpha}};
        const auto found = cells.find({toLower(t.dictionary), toLower(t.name)});
        if (found != cells.end()) {
            const SheetCell& c = *found->second.second;
            entry["atlas"] = found->second.first;
            entry["cell"] = {c.x, c.y, c.width, c.height};
        } else {
            entry["atlas"] = -1;
        }
        textures.push_back(std::move(entry));
    }

    // Every model's vertices and triangles go into shared arrays; a model names where its own start.
    bool wideIndices = false;
    for (const SceneModel& m : scene.models) wideIndices = wideIndices || m.positions.size() > 65536;
    std::vector<float> positions, uvs;
    std::vector<uint8_t> day, night;
    std::vector<uint16_t> indices16, materials;
    std::vector<uint32_t> indices32;
    Json models = Json::array();
    std::size_t vertexBase = 0, triangleBase = 0;
    for (const SceneModel& m : scene.models) {
        const std::size_t n = m.positions.size();
        for (std::size_t v = 0; v < n; ++v) {
            positions.insert(positions.end(), m.positions[v].begin(), m.positions[v].end());
            const std::array<float, 2> uv = m.uvs.empty() ? std::array<float, 2>{0, 0} : m.uvs[v];
            uvs.insert(uvs.end(), uv.begin(), uv.end());
            // Without prelight the game draws the texture as it is: white.
            const std::array<uint8_t, 4> d = m.day.empty() ? std::array<uint8_t, 4>{255, 255, 255, 255} : m.day[v];
            const std::array<uint8_t, 4> nc = m.night.empty() ? d : m.night[v];
            day.insert(day.end(), d.begin(), d.end());
            night.insert(night.end(), nc.begin(), nc.end());
        }
        for (std::size_t t = 0; t < m.triangles.size(); ++t) {
            for (uint32_t i : m.triangles[t]) {
                if (wideIndices) indices32.push_back(i);
                else indices16.push_back(static_cast<uint16_t>(i));
            }
            materials.push_back(m.triangleMaterial[t]);
        }
        Json textureNames = Json::array();
        for (const std::string& name : m.materialNames) textureNames.push_back(name);
        models.push_back({{"name", m.name},
                          {"ide", m.ideId},
                          {"dictionary", m.dictionary},
                          {"lod", m.lod},
                          {"firstVertex", vertexBase},
                          {"vertices", n},
                          {"firstTriangle", triangleBase},
                          {"triangles", m.triangles.size()},
                          {"uvs", !m.uvs.empty()},
                          {"prelight", !m.day.empty()},
                          {"night", !m.night.empty()},
                          {"materials", m.materialTexture},
                          {"materialNames", textureNames},
                          {"min", m.boundsMin},
                          {"max", m.boundsMax}});
        vertexBase += n;
        triangleBase += m.triangles.size();
    }

    std::vector<int32_t> placementModel;
    std::vector<float> placementPosition, placementRotation;
    for (const ScenePlacement& p : scene.placements) {
        placementModel.push_back(p.model);
        for (double c : p.position) placementPosition.push_back(static_cast<float>(c));
        placementRotation.insert(placementRotation.end(), p.rotation.begin(), p.rotation.end());
    }

    Json root = {{"format", 1},
                 {"level", scene.level},
                 {"atlases", atlasList},
                 {"textures", textures},
                 {"models", models},
                 {"placements", scene.placements.size()},
                 {"vertices", vertexBase},
                 {"triangles", triangleBase},
                 {"indexBytes", wideIndices ? 4 : 2},
                 {"data",
                  {{"positions", base64Of(positions)},
                   {"uvs", base64Of(uvs)},
                   {"day", base64Of(day)},
                   {"night", base64Of(night)},
                   {"indices", wideIndices ? base64Of(indices32) : base64Of(indices16)},
                   {"triangleMaterials", base64Of(materials)},
                   {"placementModels", base64Of(placementModel)},
                   {"placementPositions", base64Of(placementPosition)},
                   {"placementRotations", base64Of(placementRotation)}}}};
    return "window.veldrinScene = " + root.dump(-1, ' ', false, Json::error_handler_t::replace) + ";\n";
}

} // namespace veldrin
