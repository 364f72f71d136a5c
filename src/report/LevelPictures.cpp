#include "report/LevelPictures.h"

#include <utility>

#include "model/GeometryDecoder.h"
#include "model/MeshBuilder.h"
#include "model/Positions.h"
#include "model/Prelight.h"
#include "texture/SourceTexture.h"

namespace veldrin {

RgbaImage decodeLevelTexture(std::span<const uint8_t> level, const TextureRef& ref, GameVersion edition) {
    // Any PC target but GTA 3 keeps palettes in blue-first order; either way the texels are the same.
    DecodedTexture decoded = decodeSourceTexture(level, ref, edition, TargetGame::GtaVc);
    ImageData& image = decoded.image;
    image = convertFormat(image, TexelFormat::A8R8G8B8);
    RgbaImage out(image.width, image.height);
    for (std::size_t i = 0; i + 3 < out.pixels.size() && i + 3 < image.texels.size(); i += 4) {
        out.pixels[i] = image.texels[i + 2];
        out.pixels[i + 1] = image.texels[i + 1];
        out.pixels[i + 2] = image.texels[i];
        out.pixels[i + 3] = image.texels[i + 3];
    }
    return out;
}

ModelPreview readModelPreview(std::span<const uint8_t> level, int64_t firstPart, int64_t secondPart,
                              GameVersion edition, const std::array<float, 3>& scale, const std::string& name) {
    ModelPreview preview;
    DecodedGeometry geometry = decodeGeometry(level, firstPart, secondPart, edition, "model " + name);
    if (geometry.materials.empty()) return preview;
    Mesh mesh = buildMesh(std::move(geometry), false);
    ThumbnailMesh& m = preview.mesh;
    m.positions = scaledPositions(mesh.vertices, scale);
    m.coordinates.reserve(mesh.vertices.size());
    m.colours.reserve(mesh.vertices.size());
    for (const ModelVertex& v : mesh.vertices) {
        m.coordinates.push_back({v.u, v.v});
        m.colours.push_back(decodeVertexColour(v.colour));
    }
    m.triangles.reserve(mesh.triangles.size());
    for (const MeshTriangle& t : mesh.triangles) m.triangles.push_back({t.a, t.b, t.c, static_cast<int>(t.material)});
    preview.textureIds.assign(mesh.textureIds.begin(), mesh.textureIds.end());
    m.textures.assign(preview.textureIds.size(), nullptr);
    return preview;
}

} // namespace veldrin
