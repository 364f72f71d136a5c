#include "report/SceneScript.h"

#include <algorithm>
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

// The typed arrays of the scene, one after another in one zlib stream (which the page inflates with
// the browser's own DecompressionStream("deflate")), each starting at a multiple of four bytes so the
// page can view them in place. They are compressed as they are put: the whole buffer is never held.
// Each array is begun with its name and length (its offset names it), then its values follow.
class ArrayStream {
public:
    void begin(const std::string& name, std::size_t length) {
        z_.addFill(0, (z_.size() + 3) / 4 * 4 - z_.size());
        index_.push_back({{"name", name}, {"offset", z_.size()}, {"length", length}});
    }
    // Values as they lie in memory.
    template <typename V>
    void put(const std::vector<V>& values) {
        z_.add({reinterpret_cast<const uint8_t*>(values.data()), values.size() * sizeof(V)});
    }
    void fill(uint8_t value, std::size_t bytes) { z_.addFill(value, bytes); }
    std::size_t size() const { return z_.size(); }
    const Json& index() const { return index_; }
    CompressedBytes finish() { return z_.finish(); }

private:
    ZlibWriter z_;
    Json index_ = Json::array();
};

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
    // The per-model columns, made in one pass.
    std::vector<int32_t> firstVertex, vertices, firstTriangle, triangles, ide, dictionary;
    std::vector<uint8_t> flags;
    std::vector<float> bounds;
    std::vector<uint16_t> materialCounts;
    std::map<std::string, int> dictionaryIndex;
    packed.modelNames.reserve(models);
    std::size_t vertexBase = 0, triangleBase = 0;
    for (const SceneModel& m : scene.models) {
        packed.modelNames.push_back(m.name);
        ide.push_back(m.ideId);
        const auto [d, added] = dictionaryIndex.emplace(m.dictionary, static_cast<int>(packed.dictionaries.size()));
        if (added) packed.dictionaries.push_back(m.dictionary);
        dictionary.push_back(d->second);
        flags.push_back(uint8_t((m.lod ? 1 : 0) | (m.uvs.empty() ? 0 : 2) | (m.day.empty() ? 0 : 4) | (m.night.empty() ? 0 : 8)));
        firstVertex.push_back(static_cast<int32_t>(vertexBase));
        vertices.push_back(static_cast<int32_t>(m.positions.size()));
        firstTriangle.push_back(static_cast<int32_t>(triangleBase));
        triangles.push_back(static_cast<int32_t>(m.triangles.size()));
        bounds.insert(bounds.end(), m.boundsMin.begin(), m.boundsMin.end());
        bounds.insert(bounds.end(), m.boundsMax.begin(), m.boundsMax.end());
        materialCounts.push_back(static_cast<uint16_t>(m.materialTexture.size()));
        packed.materialNames.insert(packed.materialNames.end(), m.materialNames.begin(), m.materialNames.end());
        vertexBase += m.positions.size();
        triangleBase += m.triangles.size();
    }

    ArrayStream pack;
    pack.begin("positions", vertexTotal * 3);
    for (const SceneModel& m : scene.models) pack.put(m.positions);
    pack.begin("uvs", vertexTotal * 2);
    for (const SceneModel& m : scene.models) {
        if (m.uvs.size() == m.positions.size()) pack.put(m.uvs);
        else pack.fill(0, m.positions.size() * sizeof(float) * 2); // left at 0
    }
    // Without prelight the game draws the texture as it is: white. Without night colours, the night
    // is the day.
    pack.begin("day", vertexTotal * 4);
    for (const SceneModel& m : scene.models) {
        if (m.day.size() == m.positions.size()) pack.put(m.day);
        else pack.fill(255, m.positions.size() * 4);
    }
    pack.begin("night", vertexTotal * 4);
    for (const SceneModel& m : scene.models) {
        if (m.night.size() == m.positions.size()) pack.put(m.night);
        else if (m.day.size() == m.positions.size()) pack.put(m.day);
        else pack.fill(255, m.positions.size() * 4);
    }
    const auto putIndices = [&]<typename Index>(Index) {
        pack.begin("indices", triangleTotal * 3);
        std::vector<Index> corners;
        for (const SceneModel& m : scene.models) {
            corners.clear();
            for (const auto& t : m.triangles)
                for (uint32_t corner : t) corners.push_back(static_cast<Index>(corner));
            pack.put(corners);
        }
    };
    if (wideIndices) putIndices(uint32_t{});
    else putIndices(uint16_t{});
    pack.begin("triangleMaterials", triangleTotal);
    for (const SceneModel& m : scene.models) pack.put(m.triangleMaterial);
    const std::pair<const char*, const std::vector<int32_t>*> columns[] = {
        {"modelFirstVertex", &firstVertex}, {"modelVertices", &vertices}, {"modelFirstTriangle", &firstTriangle},
        {"modelTriangles", &triangles},     {"modelIde", &ide},           {"modelDictionary", &dictionary}};
    for (const auto& [name, column] : columns) {
        pack.begin(name, models);
        pack.put(*column);
    }
    pack.begin("modelFlags", models);
    pack.put(flags);
    pack.begin("modelBounds", models * 6);
    pack.put(bounds);
    pack.begin("modelMaterialCounts", models);
    pack.put(materialCounts);
    static_assert(sizeof(int) == sizeof(int32_t), "material textures are written as they lie in memory");
    pack.begin("materialTextures", materialTotal);
    for (const SceneModel& m : scene.models) pack.put(m.materialTexture);
    std::vector<int32_t> placementModels;
    std::vector<float> placementPositions, placementRotations;
    for (const ScenePlacement& p : scene.placements) {
        placementModels.push_back(p.model);
        for (double v : p.position) placementPositions.push_back(static_cast<float>(v));
        placementRotations.insert(placementRotations.end(), p.rotation.begin(), p.rotation.end());
    }
    pack.begin("placementModels", placements);
    pack.put(placementModels);
    pack.begin("placementPositions", placements * 3);
    pack.put(placementPositions);
    pack.begin("placementRotations", placements * 4);
    pack.put(placementRotations);

    packed.arrays = pack.index().dump();
    packed.arrayBytes = pack.size();
    packed.models = models;
    packed.placements = placements;
    packed.vertices = vertexBase;
    packed.triangles = triangleBase;
    packed.indexBytes = wideIndices ? 4 : 2;
    try {
        packed.data = pack.finish();
    } catch (const VeldrinError& e) {
        throw VeldrinError("scene.js could not be compressed (" + std::to_string(packed.arrayBytes) + " bytes): " + e.what());
    }
    return packed;
}

void writeSceneScript(ByteSink& out, const Scene& scene, const PackedScene& packed, const std::function<const std::vector<SceneAtlas>&()>& atlasesWhenMade) {
    const auto put = [&](std::string_view part) { out.write({reinterpret_cast<const uint8_t*>(part.data()), part.size()}); };
    // One object, written as the JSON library would write it. The arrays, most of the file, and all
    // that does not depend on the atlases go first, while the atlases are still being made. The large
    // strings (the arrays, the atlases' pictures) are base64, which needs no escaping, and are written
    // as they are.
    std::string text = "window.veldrinScene = {\"format\":1,\"level\":";
    appendJsonString(text, scene.level);
    put(text + ",\"data\":\"");
    writeBase64(out, packed.data);
    text = "\",\"modelNames\":";
    appendJsonStrings(text, packed.modelNames);
    text += ",\"dictionaries\":";
    appendJsonStrings(text, packed.dictionaries);
    text += ",\"materialNames\":";
    appendJsonStrings(text, packed.materialNames);
    text += ",\"models\":" + std::to_string(packed.models) + ",\"placements\":" + std::to_string(packed.placements) +
            ",\"vertices\":" + std::to_string(packed.vertices) + ",\"triangles\":" + std::to_string(packed.triangles) +
            ",\"indexBytes\":" + std::to_string(packed.indexBytes) + ",\"arrays\":" + packed.arrays +
            ",\"arrayBytes\":" + std::to_string(packed.arrayBytes);
    put(text);

    const std::vector<SceneAtlas>& atlases = atlasesWhenMade();
    // A texture's cell, by dictionary and texture name without case.
    const auto key = [](const std::string& dictionary, const std::string& name) { return toLower(dictionary) + '\0' + toLower(name); };
    std::unordered_map<std::string, std::pair<int, const SheetCell*>> cells;
    for (std::size_t a = 0; a < atlases.size(); ++a)
        for (const SheetCell& c : atlases[a].cells) cells.emplace(key(atlases[a].dictionary, c.name), std::pair{int(a), &c});
    text = ",\"textures\":[";
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
    text += "],\"atlases\":[";
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
    put("]};\n");
}

} // namespace veldrin
