#include "report/SceneScript.h"

#include <cstring>
#include <map>

#include <nlohmann/json.hpp>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "internal/ZlibStream.h"

namespace veldrin {
namespace {

using Json = nlohmann::ordered_json;

// The typed arrays of the scene, one after another in one buffer, each starting at a multiple of four
// bytes so the page can view them in place.
class ArrayPack {
public:
    template <typename T>
    void add(const std::string& name, const std::vector<T>& values) {
        bytes_.resize((bytes_.size() + 3) / 4 * 4);
        index_.push_back({{"name", name}, {"offset", bytes_.size()}, {"length", values.size()}});
        const std::size_t at = bytes_.size();
        bytes_.resize(at + values.size() * sizeof(T));
        if (!values.empty()) std::memcpy(bytes_.data() + at, values.data(), values.size() * sizeof(T));
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    const Json& index() const { return index_; }

private:
    std::vector<uint8_t> bytes_;
    Json index_ = Json::array();
};

// A zlib stream, which the page inflates with the browser's own DecompressionStream("deflate").
std::vector<uint8_t> deflated(const std::vector<uint8_t>& bytes) {
    // libdeflate's fastest level, as for the PNGs: the report's time matters more than its size.
    std::vector<uint8_t> out;
    if (!zlibStream(bytes, 1, out))
        throw VeldrinError("scene.js could not be compressed (" + std::to_string(bytes.size()) + " bytes)");
    return out;
}

} // namespace

std::string base64(const void* data, std::size_t bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* p = static_cast<const uint8_t*>(data);
    std::string out((bytes + 2) / 3 * 4, '=');
    char* o = out.data();
    std::size_t i = 0;
    for (; i + 3 <= bytes; i += 3, o += 4) {
        const uint32_t v = uint32_t(p[i]) << 16 | uint32_t(p[i + 1]) << 8 | p[i + 2];
        o[0] = kAlphabet[v >> 18];
        o[1] = kAlphabet[v >> 12 & 63];
        o[2] = kAlphabet[v >> 6 & 63];
        o[3] = kAlphabet[v & 63];
    }
    if (i < bytes) {
        const bool two = i + 1 < bytes;
        const uint32_t v = uint32_t(p[i]) << 16 | (two ? uint32_t(p[i + 1]) << 8 : 0);
        o[0] = kAlphabet[v >> 18];
        o[1] = kAlphabet[v >> 12 & 63];
        if (two) o[2] = kAlphabet[v >> 6 & 63];
    }
    return out;
}

std::string sceneScript(const Scene& scene, const std::vector<SceneAtlas>& atlases) {
    std::map<std::pair<std::string, std::string>, std::pair<int, const SheetCell*>> cells;
    for (std::size_t a = 0; a < atlases.size(); ++a)
        for (const SheetCell& c : atlases[a].cells)
            cells.emplace(std::pair{toLower(atlases[a].dictionary), toLower(c.name)}, std::pair{int(a), &c});
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

    // Every model's vertices and triangles go into shared arrays; a model's columns say where its own
    // start and how many there are.
    bool wideIndices = false;
    for (const SceneModel& m : scene.models) wideIndices = wideIndices || m.positions.size() > 65536;
    std::vector<float> positions, uvs, bounds;
    std::vector<uint8_t> day, night, flags;
    std::vector<uint16_t> indices16, materials, materialCounts;
    std::vector<uint32_t> indices32;
    std::vector<int32_t> firstVertex, vertices, firstTriangle, triangles, ide, dictionary, materialTextures;
    Json names = Json::array(), dictionaries = Json::array(), materialNames = Json::array();
    std::map<std::string, int> dictionaryIndex;
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
        names.push_back(m.name);
        ide.push_back(m.ideId);
        const auto [d, added] = dictionaryIndex.emplace(m.dictionary, static_cast<int>(dictionaries.size()));
        if (added) dictionaries.push_back(m.dictionary);
        dictionary.push_back(d->second);
        flags.push_back(uint8_t((m.lod ? 1 : 0) | (m.uvs.empty() ? 0 : 2) | (m.day.empty() ? 0 : 4) | (m.night.empty() ? 0 : 8)));
        firstVertex.push_back(static_cast<int32_t>(vertexBase));
        vertices.push_back(static_cast<int32_t>(n));
        firstTriangle.push_back(static_cast<int32_t>(triangleBase));
        triangles.push_back(static_cast<int32_t>(m.triangles.size()));
        bounds.insert(bounds.end(), m.boundsMin.begin(), m.boundsMin.end());
        bounds.insert(bounds.end(), m.boundsMax.begin(), m.boundsMax.end());
        materialCounts.push_back(static_cast<uint16_t>(m.materialTexture.size()));
        materialTextures.insert(materialTextures.end(), m.materialTexture.begin(), m.materialTexture.end());
        for (const std::string& name : m.materialNames) materialNames.push_back(name);
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

    ArrayPack pack;
    pack.add("positions", positions);
    pack.add("uvs", uvs);
    pack.add("day", day);
    pack.add("night", night);
    if (wideIndices) pack.add("indices", indices32);
    else pack.add("indices", indices16);
    pack.add("triangleMaterials", materials);
    pack.add("modelFirstVertex", firstVertex);
    pack.add("modelVertices", vertices);
    pack.add("modelFirstTriangle", firstTriangle);
    pack.add("modelTriangles", triangles);
    pack.add("modelIde", ide);
    pack.add("modelDictionary", dictionary);
    pack.add("modelFlags", flags);
    pack.add("modelBounds", bounds);
    pack.add("modelMaterialCounts", materialCounts);
    pack.add("materialTextures", materialTextures);
    pack.add("placementModels", placementModel);
    pack.add("placementPositions", placementPosition);
    pack.add("placementRotations", placementRotation);
    const std::vector<uint8_t> packed = deflated(pack.bytes());

    const Json root = {{"format", 1},
                       {"level", scene.level},
                       {"textures", textures},
                       {"modelNames", names},
                       {"dictionaries", dictionaries},
                       {"materialNames", materialNames},
                       {"models", scene.models.size()},
                       {"placements", scene.placements.size()},
                       {"vertices", vertexBase},
                       {"triangles", triangleBase},
                       {"indexBytes", wideIndices ? 4 : 2},
                       {"arrays", pack.index()},
                       {"arrayBytes", pack.bytes().size()}};
    // The large strings (the atlases' pictures, the arrays) are appended as they are: base64 needs no
    // escaping, and a JSON writer would copy them character by character.
    const auto text = [](const std::string& value) { return Json(value).dump(-1, ' ', false, Json::error_handler_t::replace); };
    std::string script = "window.veldrinScene = " + root.dump(-1, ' ', false, Json::error_handler_t::replace);
    script.pop_back(); // the closing brace
    script += ",\"atlases\":[";
    for (std::size_t a = 0; a < atlases.size(); ++a) {
        const SceneAtlas& atlas = atlases[a];
        script += (a ? ",{\"dictionary\":" : "{\"dictionary\":") + text(atlas.dictionary) + ",\"width\":" + std::to_string(atlas.width) +
                  ",\"height\":" + std::to_string(atlas.height) + ",\"png\":\"data:image/png;base64,";
        script += base64(atlas.png.data(), atlas.png.size());
        script += "\"}";
    }
    script += "],\"data\":\"";
    script += base64(packed.data(), packed.size());
    script += "\"};\n";
    return script;
}

} // namespace veldrin
