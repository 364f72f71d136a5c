#include "report/SceneScript.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "base/Error.h"
#include "base/TextUtil.h"
#include "internal/ZlibStream.h"
#include "report/JsonText.h"

namespace veldrin {
namespace {

using Json = nlohmann::ordered_json;

// The typed arrays of the scene, one after another in one buffer, each starting at a multiple of four
// bytes so the page can view them in place. Every array is declared with its length first (its offset
// names it), then the buffer is made once and filled in place.
class ArrayPack {
public:
    template <typename T>
    std::size_t add(const std::string& name, std::size_t length) {
        size_ = (size_ + 3) / 4 * 4;
        index_.push_back({{"name", name}, {"offset", size_}, {"length", length}});
        const std::size_t offset = size_;
        size_ += length * sizeof(T);
        return offset;
    }
    void allocate() { bytes_.resize(size_); }
    // Value `i` of the array at `array`.
    template <typename T>
    void set(std::size_t array, std::size_t i, T value) {
        std::memcpy(bytes_.data() + array + i * sizeof(T), &value, sizeof(T));
    }
    // Values from `first` on, of `size` bytes each, copied from `values` as they lie in memory.
    template <typename V>
    void copy(std::size_t array, std::size_t first, std::size_t size, const std::vector<V>& values) {
        if (!values.empty()) std::memcpy(bytes_.data() + array + first * size, values.data(), values.size() * sizeof(V));
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    const Json& index() const { return index_; }

private:
    std::size_t size_ = 0;
    std::vector<uint8_t> bytes_;
    Json index_ = Json::array();
};

// A zlib stream, which the page inflates with the browser's own DecompressionStream("deflate").
CompressedBytes deflated(const std::vector<uint8_t>& bytes) {
    try {
        return zlibStream(bytes);
    } catch (const VeldrinError& e) {
        throw VeldrinError("scene.js could not be compressed (" + std::to_string(bytes.size()) + " bytes): " + e.what());
    }
}

// A JSON array of names, as the JSON library writes it.
std::string jsonNames(const std::vector<std::string>& names) {
    std::string out = "[";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) out += ',';
        appendJsonString(out, names[i]);
    }
    return out + "]";
}

// Standard base64 with padding, written to `out` a piece at a time: the large strings of scene.js (the
// atlases' pictures, the arrays) are never held encoded.
void writeBase64(ByteSink& out, std::span<const uint8_t> bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    constexpr std::size_t kPiece = 3 * 16384; // input bytes per piece, a multiple of three
    std::vector<uint8_t> text(kPiece / 3 * 4);
    for (std::size_t start = 0; start < bytes.size(); start += kPiece) {
        const uint8_t* p = bytes.data() + start;
        const std::size_t count = std::min(kPiece, bytes.size() - start);
        uint8_t* o = text.data();
        std::size_t i = 0;
        for (; i + 3 <= count; i += 3, o += 4) {
            const uint32_t v = uint32_t(p[i]) << 16 | uint32_t(p[i + 1]) << 8 | p[i + 2];
            o[0] = kAlphabet[v >> 18];
            o[1] = kAlphabet[v >> 12 & 63];
            o[2] = kAlphabet[v >> 6 & 63];
            o[3] = kAlphabet[v & 63];
        }
        if (i < count) { // the last piece's one or two bytes left
            const bool two = i + 1 < count;
            const uint32_t v = uint32_t(p[i]) << 16 | (two ? uint32_t(p[i + 1]) << 8 : 0);
            o[0] = kAlphabet[v >> 18];
            o[1] = kAlphabet[v >> 12 & 63];
            o[2] = two ? kAlphabet[v >> 6 & 63] : '=';
            o[3] = '=';
            o += 4;
        }
        out.write({text.data(), static_cast<std::size_t>(o - text.data())});
    }
}

} // namespace

PackedScene packScene(const Scene& scene) {
    PackedScene packed;
    // Every model's vertices and triangles go into shared arrays; a model's columns say where its own
    // start and how many there are.
    std::size_t vertexTotal = 0, triangleTotal = 0, materialTotal = 0;
    bool wideIndices = false;
    for (const SceneModel& m : scene.models) {
        wideIndices = wideIndices || m.positions.size() > 65536;
        vertexTotal += m.positions.size();
        triangleTotal += m.triangles.size();
        materialTotal += m.materialTexture.size();
    }
    const std::size_t models = scene.models.size(), placements = scene.placements.size();
    ArrayPack pack;
    const std::size_t positions = pack.add<float>("positions", vertexTotal * 3);
    const std::size_t uvs = pack.add<float>("uvs", vertexTotal * 2);
    const std::size_t day = pack.add<uint8_t>("day", vertexTotal * 4);
    const std::size_t night = pack.add<uint8_t>("night", vertexTotal * 4);
    const std::size_t indices = wideIndices ? pack.add<uint32_t>("indices", triangleTotal * 3) : pack.add<uint16_t>("indices", triangleTotal * 3);
    const std::size_t materials = pack.add<uint16_t>("triangleMaterials", triangleTotal);
    const std::size_t firstVertex = pack.add<int32_t>("modelFirstVertex", models);
    const std::size_t vertices = pack.add<int32_t>("modelVertices", models);
    const std::size_t firstTriangle = pack.add<int32_t>("modelFirstTriangle", models);
    const std::size_t triangles = pack.add<int32_t>("modelTriangles", models);
    const std::size_t ide = pack.add<int32_t>("modelIde", models);
    const std::size_t dictionary = pack.add<int32_t>("modelDictionary", models);
    const std::size_t flags = pack.add<uint8_t>("modelFlags", models);
    const std::size_t bounds = pack.add<float>("modelBounds", models * 6);
    const std::size_t materialCounts = pack.add<uint16_t>("modelMaterialCounts", models);
    const std::size_t materialTextures = pack.add<int32_t>("materialTextures", materialTotal);
    const std::size_t placementModel = pack.add<int32_t>("placementModels", placements);
    const std::size_t placementPosition = pack.add<float>("placementPositions", placements * 3);
    const std::size_t placementRotation = pack.add<float>("placementRotations", placements * 4);
    pack.allocate();

    std::map<std::string, int> dictionaryIndex;
    std::size_t vertexBase = 0, triangleBase = 0, materialBase = 0;
    for (std::size_t i = 0; i < models; ++i) {
        const SceneModel& m = scene.models[i];
        const std::size_t n = m.positions.size();
        pack.copy(positions, vertexBase * 3, sizeof(float), m.positions);
        if (m.uvs.size() == n) pack.copy(uvs, vertexBase * 2, sizeof(float), m.uvs); // else left at 0
        // Without prelight the game draws the texture as it is: white.
        const std::vector<std::array<uint8_t, 4>> white(m.day.size() == n ? 0 : n, std::array<uint8_t, 4>{255, 255, 255, 255});
        const auto& dayColours = m.day.size() == n ? m.day : white;
        pack.copy(day, vertexBase * 4, 1, dayColours);
        pack.copy(night, vertexBase * 4, 1, m.night.size() == n ? m.night : dayColours);
        for (std::size_t t = 0; t < m.triangles.size(); ++t) {
            for (std::size_t corner = 0; corner < 3; ++corner) {
                const std::size_t at = (triangleBase + t) * 3 + corner;
                if (wideIndices) pack.set<uint32_t>(indices, at, m.triangles[t][corner]);
                else pack.set<uint16_t>(indices, at, static_cast<uint16_t>(m.triangles[t][corner]));
            }
        }
        pack.copy(materials, triangleBase, sizeof(uint16_t), m.triangleMaterial);
        packed.modelNames.push_back(m.name);
        pack.set<int32_t>(ide, i, m.ideId);
        const auto [d, added] = dictionaryIndex.emplace(m.dictionary, static_cast<int>(packed.dictionaries.size()));
        if (added) packed.dictionaries.push_back(m.dictionary);
        pack.set<int32_t>(dictionary, i, d->second);
        pack.set<uint8_t>(flags, i, uint8_t((m.lod ? 1 : 0) | (m.uvs.empty() ? 0 : 2) | (m.day.empty() ? 0 : 4) | (m.night.empty() ? 0 : 8)));
        pack.set<int32_t>(firstVertex, i, static_cast<int32_t>(vertexBase));
        pack.set<int32_t>(vertices, i, static_cast<int32_t>(n));
        pack.set<int32_t>(firstTriangle, i, static_cast<int32_t>(triangleBase));
        pack.set<int32_t>(triangles, i, static_cast<int32_t>(m.triangles.size()));
        for (int a = 0; a < 3; ++a) {
            pack.set<float>(bounds, i * 6 + std::size_t(a), m.boundsMin[std::size_t(a)]);
            pack.set<float>(bounds, i * 6 + 3 + std::size_t(a), m.boundsMax[std::size_t(a)]);
        }
        pack.set<uint16_t>(materialCounts, i, static_cast<uint16_t>(m.materialTexture.size()));
        pack.copy(materialTextures, materialBase, sizeof(int32_t), m.materialTexture);
        packed.materialNames.insert(packed.materialNames.end(), m.materialNames.begin(), m.materialNames.end());
        vertexBase += n;
        triangleBase += m.triangles.size();
        materialBase += m.materialTexture.size();
    }
    for (std::size_t i = 0; i < placements; ++i) {
        const ScenePlacement& p = scene.placements[i];
        pack.set<int32_t>(placementModel, i, p.model);
        for (std::size_t a = 0; a < 3; ++a) pack.set<float>(placementPosition, i * 3 + a, static_cast<float>(p.position[a]));
        for (std::size_t a = 0; a < 4; ++a) pack.set<float>(placementRotation, i * 4 + a, p.rotation[a]);
    }

    packed.arrays = pack.index().dump();
    packed.arrayBytes = pack.bytes().size();
    packed.models = models;
    packed.placements = placements;
    packed.vertices = vertexBase;
    packed.triangles = triangleBase;
    packed.indexBytes = wideIndices ? 4 : 2;
    packed.data = deflated(pack.bytes());
    return packed;
}

void writeSceneScript(ByteSink& out, const Scene& scene, const PackedScene& packed, const std::vector<SceneAtlas>& atlases) {
    // A texture's cell, by dictionary and texture name without case.
    const auto key = [](const std::string& dictionary, const std::string& name) { return toLower(dictionary) + '\0' + toLower(name); };
    std::unordered_map<std::string, std::pair<int, const SheetCell*>> cells;
    for (std::size_t a = 0; a < atlases.size(); ++a)
        for (const SheetCell& c : atlases[a].cells) cells.emplace(key(atlases[a].dictionary, c.name), std::pair{int(a), &c});
    // One object, written as the JSON library would write it: its head, the name lists, the counts and
    // arrays, the atlases. The large strings (the atlases' pictures, the arrays) are base64, which
    // needs no escaping, and are written as they are.
    std::string text = "window.veldrinScene = {\"format\":1,\"level\":";
    appendJsonString(text, scene.level);
    text += ",\"textures\":[";
    for (std::size_t i = 0; i < scene.textures.size(); ++i) {
        const SceneTexture& t = scene.textures[i];
        text += i ? ",{\"name\":" : "{\"name\":";
        appendJsonString(text, t.name);
        text += ",\"dictionary\":";
        appendJsonString(text, t.dictionary);
        text += ",\"width\":" + std::to_string(t.width) + ",\"height\":" + std::to_string(t.height) +
                (t.alpha ? ",\"alpha\":true" : ",\"alpha\":false");
        const auto found = cells.find(key(t.dictionary, t.name));
        if (found == cells.end()) {
            text += ",\"atlas\":-1}";
            continue;
        }
        const SheetCell& c = *found->second.second;
        text += ",\"atlas\":" + std::to_string(found->second.first) + ",\"cell\":[" + std::to_string(c.x) + ',' + std::to_string(c.y) +
                ',' + std::to_string(c.width) + ',' + std::to_string(c.height) + "]}";
    }
    text += "],\"modelNames\":" + jsonNames(packed.modelNames) + ",\"dictionaries\":" + jsonNames(packed.dictionaries) +
            ",\"materialNames\":" + jsonNames(packed.materialNames);
    text += ",\"models\":" + std::to_string(packed.models) + ",\"placements\":" + std::to_string(packed.placements) +
            ",\"vertices\":" + std::to_string(packed.vertices) + ",\"triangles\":" + std::to_string(packed.triangles) +
            ",\"indexBytes\":" + std::to_string(packed.indexBytes) + ",\"arrays\":" + packed.arrays +
            ",\"arrayBytes\":" + std::to_string(packed.arrayBytes) + ",\"atlases\":[";
    const auto put = [&](std::string_view part) { out.write({reinterpret_cast<const uint8_t*>(part.data()), part.size()}); };
    put(text);
    for (std::size_t a = 0; a < atlases.size(); ++a) {
        const SceneAtlas& atlas = atlases[a];
        std::string head = a ? ",{\"dictionary\":" : "{\"dictionary\":";
        appendJsonString(head, atlas.dictionary);
        put(head + ",\"width\":" + std::to_string(atlas.width) + ",\"height\":" + std::to_string(atlas.height) +
            ",\"png\":\"data:image/png;base64,");
        writeBase64(out, atlas.png);
        put("\"}");
    }
    put("],\"data\":\"");
    writeBase64(out, packed.data);
    put("\"};\n");
}

} // namespace veldrin
