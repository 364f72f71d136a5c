#include "app/ModelPlan.h"

#include "base/Error.h"
#include "base/TextUtil.h"
#include "model/ModelConverter.h"

namespace veldrin {

std::vector<PlannedModel> planModels(const LevelBuffer& level, const WorldTables& tables, const ConversionOptions& options) {
    std::vector<PlannedModel> planned;
    const std::string lod = options.lodPrefix();
    for (int r = 0; r < tables.resourceCount; ++r) {
        const ModelRecord& m = tables.models[r];
        const ResourceEntry& e = tables.resources[r];
        if (e.position == 0 || !m.instanced || m.isPairModel || !m.used) continue;
        std::vector<int> ids = readModelTextureIds(level.all(), e.position, m.pairResource, options.gameVersion);
        if (ids.empty()) continue; // no materials in the first part: nothing to convert
        planned.push_back({r, modelName(m, r, options.modelPrefix, lod), std::move(ids)});
    }
    return planned;
}

namespace {

void requireLength(const std::string& name, std::size_t limit, const std::string& what) {
    if (name.size() > limit) {
        throw VeldrinError(what + " \"" + name + "\" is longer than " + std::to_string(limit) +
                           " characters; choose a shorter prefix");
    }
}

} // namespace

void checkOutputNames(const ConversionOptions& options, const std::vector<PlannedModel>& models) {
    const std::string upper = toUpper(options.levelName);
    for (const PlannedModel& p : models) {
        for (int id : p.textureIds) requireLength(textureName(options.texturePrefix, id), kMaxTextureNameLength, "Texture name");
        if (options.genBlankCol) requireLength(p.name, kMaxColModelNameLength, "Model name (collision record)");
        if (options.buildImg) {
            requireLength(p.name + ".dff", kMaxImgEntryNameLength, "IMG entry name");
            if (options.onePerModel()) requireLength(p.name + ".txd", kMaxImgEntryNameLength, "IMG entry name");
        }
    }
    if (!options.buildImg) return;
    const auto groups = options.txdMode == TxdMode::TxdPerGroup && options.modelsPerTxd > 1
                            ? models.size() / static_cast<std::size_t>(options.modelsPerTxd) + 1
                            : 0;
    if (groups > 0) requireLength(upper + "TXD" + std::to_string(groups) + ".txd", kMaxImgEntryNameLength, "IMG entry name");
    if (options.txdMode == TxdMode::OneBigTxd) requireLength(upper + "TXD.txd", kMaxImgEntryNameLength, "IMG entry name");
    if (options.genBlankCol && options.targetGame == TargetGame::GtaSa)
        requireLength(upper + ".COL", kMaxImgEntryNameLength, "IMG entry name");
}

} // namespace veldrin
