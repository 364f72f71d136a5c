#include "gltf/GlbFile.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include <nlohmann/json.hpp>

#include "base/Error.h"
#include "report/PngFile.h"
#include "report/RunRecord.h"

namespace veldrin {
namespace {

using Json = nlohmann::ordered_json;

// glTF's numbers for component types and buffer targets.
constexpr int kUnsignedByte = 5121, kUnsignedInt = 5125, kFloat = 5126;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;

// The binary chunk and the JSON lists that point into it.
class GlbBuilder {
public:
    // Appends bytes as a buffer view (4-byte aligned, as accessors need) and returns its index.
    int addView(const void* data, std::size_t size, std::optional<int> target) {
        while (bin_.size() % 4) bin_.push_back(0);
        Json view{{"buffer", 0}, {"byteOffset", bin_.size()}, {"byteLength", size}};
        if (target) view["target"] = *target;
        const auto* bytes = static_cast<const uint8_t*>(data);
        bin_.insert(bin_.end(), bytes, bytes + size);
        views_.push_back(std::move(view));
        return static_cast<int>(views_.size() - 1);
    }

    template <typename T>
    int addAccessor(const std::vector<T>& values, int componentType, const char* type, std::optional<int> target,
                    bool normalized = false) {
        Json accessor{{"bufferView", addView(values.data(), values.size() * sizeof(T), target)},
                      {"componentType", componentType},
                      {"count", values.size()},
                      {"type", type}};
        if (normalized) accessor["normalized"] = true;
        accessors_.push_back(std::move(accessor));
        return static_cast<int>(accessors_.size() - 1);
    }

    Json& lastAccessor() { return accessors_.back(); }

    std::vector<uint8_t> finish(Json gltf) {
        if (!views_.empty()) {
            while (bin_.size() % 4) bin_.push_back(0);
            gltf["buffers"] = Json::array({Json{{"byteLength", bin_.size()}}});
            gltf["bufferViews"] = std::move(views_);
            gltf["accessors"] = std::move(accessors_);
        }
        std::string text = gltf.dump(-1, ' ', false, Json::error_handler_t::replace);
        while (text.size() % 4) text += ' ';
        const uint64_t total = 12 + 8 + text.size() + (bin_.empty() ? 0 : 8 + bin_.size());
        if (total > 0xFFFFFFFFu) throw VeldrinError("The glTF file would hold " + std::to_string(total) + " bytes, more than 4 GB");
        std::vector<uint8_t> out;
        out.reserve(static_cast<std::size_t>(total));
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        u32(0x46546C67); // "glTF"
        u32(2);
        u32(static_cast<uint32_t>(total));
        u32(static_cast<uint32_t>(text.size()));
        u32(0x4E4F534A); // "JSON"
        out.insert(out.end(), text.begin(), text.end());
        if (!bin_.empty()) {
            u32(static_cast<uint32_t>(bin_.size()));
            u32(0x004E4942); // "BIN"
            out.insert(out.end(), bin_.begin(), bin_.end());
        }
        return out;
    }

private:
    std::vector<uint8_t> bin_;
    Json views_ = Json::array(), accessors_ = Json::array();
};

RgbaImage imageOf(const SceneTexture& t) {
    RgbaImage image(t.width, t.height);
    if (t.rgba.size() == image.pixels.size()) image.pixels = t.rgba;
    return image;
}

} // namespace

std::vector<uint8_t> writeGlb(const Scene& scene) {
    GlbBuilder b;
    Json materials = Json::array(), textures = Json::array(), images = Json::array(), meshes = Json::array();
    std::map<int, int> materialOf; // scene texture (-1: none) to material

    // A texture's material, its picture embedded the first time a triangle uses it.
    auto material = [&](int texture) {
        const auto found = materialOf.find(texture);
        if (found != materialOf.end()) return found->second;
        Json m{{"pbrMetallicRoughness", {{"metallicFactor", 0.0}, {"roughnessFactor", 1.0}}}, {"doubleSided", true}};
        if (texture >= 0) {
            const SceneTexture& t = scene.textures[static_cast<std::size_t>(texture)];
            const std::vector<uint8_t> png = encodePng(imageOf(t));
            images.push_back({{"name", t.name}, {"mimeType", "image/png"}, {"bufferView", b.addView(png.data(), png.size(), std::nullopt)}});
            textures.push_back({{"sampler", 0}, {"source", images.size() - 1}, {"name", t.name}});
            m["name"] = t.name;
            m["pbrMetallicRoughness"]["baseColorTexture"] = {{"index", textures.size() - 1}};
            if (t.alpha) m["alphaMode"] = "MASK";
        } else {
            m["name"] = "untextured";
        }
        materials.push_back(std::move(m));
        return materialOf[texture] = static_cast<int>(materials.size() - 1);
    };

    std::vector<int> meshOf(scene.models.size(), -1);
    for (std::size_t i = 0; i < scene.models.size(); ++i) {
        const SceneModel& model = scene.models[i];
        const std::size_t vertices = model.positions.size();
        if (model.triangles.empty() || vertices == 0) continue;
        Json attributes{{"POSITION", b.addAccessor(model.positions, kFloat, "VEC3", kArrayBuffer)}};
        b.lastAccessor()["min"] = model.boundsMin;
        b.lastAccessor()["max"] = model.boundsMax;
        if (model.uvs.size() == vertices) attributes["TEXCOORD_0"] = b.addAccessor(model.uvs, kFloat, "VEC2", kArrayBuffer);
        if (model.day.size() == vertices)
            attributes["COLOR_0"] = b.addAccessor(model.day, kUnsignedByte, "VEC4", kArrayBuffer, true);

        // One primitive per material, in material order; triangles naming a vertex the model lacks are left out.
        std::map<int, std::vector<uint32_t>> byMaterial;
        for (std::size_t t = 0; t < model.triangles.size(); ++t) {
            const auto& tri = model.triangles[t];
            if (tri[0] >= vertices || tri[1] >= vertices || tri[2] >= vertices) continue;
            const int m = t < model.triangleMaterial.size() ? model.triangleMaterial[t] : -1;
            std::vector<uint32_t>& indices = byMaterial[m];
            indices.insert(indices.end(), tri.begin(), tri.end());
        }
        Json primitives = Json::array();
        for (const auto& [m, indices] : byMaterial) {
            int texture = m >= 0 && std::size_t(m) < model.materialTexture.size() ? model.materialTexture[std::size_t(m)] : -1;
            if (texture >= 0 && std::size_t(texture) >= scene.textures.size()) texture = -1;
            primitives.push_back({{"attributes", attributes},
                                  {"indices", b.addAccessor(indices, kUnsignedInt, "SCALAR", kElementArrayBuffer)},
                                  {"material", material(texture)}});
        }
        if (primitives.empty()) continue;
        meshes.push_back({{"name", model.name}, {"primitives", std::move(primitives)}});
        meshOf[i] = static_cast<int>(meshes.size() - 1);
    }

    // Node 0 turns z up into y up (-90 degrees round x); the placements hang below it.
    constexpr float kHalfRoot = 0.70710678f;
    Json nodes = Json::array({Json{{"name", scene.level}, {"rotation", {-kHalfRoot, 0.0f, 0.0f, kHalfRoot}}}});
    Json children = Json::array();
    for (const ScenePlacement& p : scene.placements) {
        if (p.model < 0 || std::size_t(p.model) >= scene.models.size()) continue;
        Json node{{"name", scene.models[std::size_t(p.model)].name},
                  {"translation", {float(p.position[0]), float(p.position[1]), float(p.position[2])}}};
        // The IPL holds the conjugate of the turn the game applies.
        const auto& q = p.rotation;
        const float length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        if (length > 0 && std::isfinite(length)) node["rotation"] = {-q[0] / length, -q[1] / length, -q[2] / length, q[3] / length};
        if (meshOf[std::size_t(p.model)] >= 0) node["mesh"] = meshOf[std::size_t(p.model)];
        children.push_back(nodes.size());
        nodes.push_back(std::move(node));
    }
    if (!children.empty()) nodes[0]["children"] = std::move(children);

    Json gltf{{"asset", {{"version", "2.0"}, {"generator", std::string("Veldrin ") + veldrinVersion()}}},
              {"scene", 0},
              {"scenes", Json::array({Json{{"name", scene.level}, {"nodes", {0}}}})},
              {"nodes", std::move(nodes)}};
    if (!meshes.empty()) gltf["meshes"] = std::move(meshes);
    if (!materials.empty()) gltf["materials"] = std::move(materials);
    if (!textures.empty()) {
        gltf["textures"] = std::move(textures);
        gltf["images"] = std::move(images);
        // Linear filtering with mip-maps made by the reader; texture coordinates wrap, as in the game.
        gltf["samplers"] = Json::array({Json{{"magFilter", 9729}, {"minFilter", 9987}, {"wrapS", 10497}, {"wrapT", 10497}}});
    }
    return b.finish(std::move(gltf));
}

} // namespace veldrin
