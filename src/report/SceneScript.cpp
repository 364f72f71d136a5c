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
    try {
        return zlibStream(bytes);
    } catch (const VeldrinError& e) {
        throw VeldrinError("scene.js could not be compressed (" + std::to_string(bytes.size()) + " bytes): " + e.what());
    }
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

namespace {

// Appends one value per vertex of every model: `from` the model's own column, or `fallback` where the
// model has none.
template <typename T, std::size_t N>
void appendColumn(std::vector<T>& out, const std::vector<std::array<T, N>>& from, std::size_t vertices, const std::array<T, N>& fallback) {
    const std::size_t at = out.size();
    out.resize(at + vertices * N);
    if (from.size() == vertices) {
        if (vertices) std::memcpy(out.data() + at, from.data(), vertices * N * sizeof(T));
        return;
    }
    for (std::size_t v = 0; v < vertices; ++v) std::memcpy(out.data() + at + v * N, fallback.data(), N * sizeof(T));
}

} // namespace

PackedScene packScene(const Scene& scene) {
    PackedScene packed;
    // Every model's vertices and triangles go into shared arrays; a model's columns say where its own
    // start and how many there are.
    std::size_t vertexTotal = 0, triangleTotal = 0;
    bool wideIndices = false;
    for (const SceneModel& m : scene.models) {
        wideIndices = wideIndices || m.positions.size() > 65536;
        vertexTotal += m.positions.size();
        triangleTotal += m.triangles.size();
    }
    std::vector<float> positions, uvs, bounds;
    std::vector<uint8_t> day, night, flags;
    std::vector<uint16_t> indices16, materials, materialCounts;
    std::vector<uint32_t> indices32;
    std::vector<int32_t> firstVertex, vertices, firstTriangle, triangles, ide, dictionary, materialTextures;
    positions.reserve(vertexTotal * 3);
    uvs.reserve(vertexTotal * 2);
    day.reserve(vertexTotal * 4);
    night.reserve(vertexTotal * 4);
    (wideIndices ? indices32.reserve(triangleTotal * 3) : indices16.reserve(triangleTotal * 3));
    materials.reserve(triangleTotal);
    std::map<std::string, int> dictionaryIndex;
    std::size_t vertexBase = 0, triangleBase = 0;
    for (const SceneModel& m : scene.models) {
        const std::size_t n = m.positions.size();
        appendColumn(positions, m.positions, n, {0, 0, 0});
        appendColumn(uvs, m.uvs, n, {0, 0});
        // Without prelight the game draws the texture as it is: white.
        appendColumn(day, m.day, n, {255, 255, 255, 255});
        if (m.night.size() == n) appendColumn(night, m.night, n, {});
        else night.insert(night.end(), day.end() - std::ptrdiff_t(n * 4), day.end());
        for (std::size_t t = 0; t < m.triangles.size(); ++t) {
            for (uint32_t i : m.triangles[t]) {
                if (wideIndices) indices32.push_back(i);
                else indices16.push_back(static_cast<uint16_t>(i));
            }
            materials.push_back(m.triangleMaterial[t]);
        }
        packed.modelNames.push_back(m.name);
        ide.push_back(m.ideId);
        const auto [d, added] = dictionaryIndex.emplace(m.dictionary, static_cast<int>(packed.dictionaries.size()));
        if (added) packed.dictionaries.push_back(m.dictionary);
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
        packed.materialNames.insert(packed.materialNames.end(), m.materialNames.begin(), m.materialNames.end());
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
    packed.arrays = pack.index().dump();
    packed.arrayBytes = pack.bytes().size();
    packed.vertices = vertexBase;
    packed.triangles = triangleBase;
    packed.indexBytes = wideIndices ? 4 : 2;
    const std::vector<uint8_t> compressed = deflated(pack.bytes());
    packed.data = base64(compressed.data(), compressed.size());
    return packed;
}

void writeSceneScript(ByteSink& out, const Scene& scene, const PackedScene& packed, const std::vector<SceneAtlas>& atlases) {
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
    const Json root = {{"format", 1},
                       {"level", scene.level},
                       {"textures", textures},
                       {"modelNames", packed.modelNames},
                       {"dictionaries", packed.dictionaries},
                       {"materialNames", packed.materialNames},
                       {"models", scene.models.size()},
                       {"placements", scene.placements.size()},
                       {"vertices", packed.vertices},
                       {"triangles", packed.triangles},
                       {"indexBytes", packed.indexBytes},
                       {"arrays", Json::parse(packed.arrays)},
                       {"arrayBytes", packed.arrayBytes}};
    // The large strings (the atlases' pictures, the arrays) are written as they are: base64 needs no
    // escaping, and a JSON writer would copy them character by character.
    const auto put = [&](std::string_view text) { out.write({reinterpret_cast<const uint8_t*>(text.data()), text.size()}); };
    const auto quoted = [](const std::string& value) { return Json(value).dump(-1, ' ', false, Json::error_handler_t::replace); };
    std::string head = "window.veldrinScene = " + root.dump(-1, ' ', false, Json::error_handler_t::replace);
    head.pop_back(); // the closing brace
    put(head);
    put(",\"atlases\":[");
    for (std::size_t a = 0; a < atlases.size(); ++a) {
        const SceneAtlas& atlas = atlases[a];
        put((a ? ",{\"dictionary\":" : "{\"dictionary\":") + quoted(atlas.dictionary) + ",\"width\":" + std::to_string(atlas.width) +
            ",\"height\":" + std::to_string(atlas.height) + ",\"png\":\"data:image/png;base64,");
        put(atlas.png);
        put("\"}");
    }
    put("],\"data\":\"");
    put(packed.data);
    put("\"};\n");
}

std::string sceneScript(const Scene& scene, const std::vector<SceneAtlas>& atlases) {
    std::vector<uint8_t> bytes;
    VectorSink sink(bytes);
    writeSceneScript(sink, scene, packScene(scene), atlases);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace veldrin
