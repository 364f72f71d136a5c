// A model's preview and one texture of the level decoded for the run report, drawn as a thumbnail.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "report/LevelPictures.h"
#include "report/Thumbnail.h"

using namespace veldrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (256 << 10)) return 0;
    fuzz::FuzzInput in(data, size);
    const GameVersion edition = fuzz::editionOf(in.byte());
    const int64_t firstPart = in.u32();
    const int64_t secondPart = in.u32();
    const TextureRef ref{1, in.u32(), in.u32()};
    const std::array<float, 3> scale{1.0f + in.byte() / 64.0f, 1.0f, 0.5f};
    const std::vector<uint8_t> level = in.rest();
    RgbaImage texture;
    fuzz::refusalsAreFine([&] { texture = decodeLevelTexture(level, ref, edition); });
    fuzz::refusalsAreFine([&] {
        ModelPreview preview = readModelPreview(level, firstPart, secondPart, edition, scale, "model");
        preview.mesh.textures.assign(preview.textureIds.size(), texture.width > 0 ? &texture : nullptr);
        renderThumbnail(preview.mesh, 48);
    });
    return 0;
}
