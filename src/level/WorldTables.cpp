#include "level/WorldTables.h"

namespace veldrin {

WorldLayout worldLayout(GameVersion edition) {
    const bool vcs = isVcs(edition);
    const bool psp = isPsp(edition);
    const bool lcsPs2 = edition == GameVersion::LcsPs2;
    return WorldLayout{
        lcsPs2 ? 40 : 32,
        lcsPs2 ? 47 : 37,
        lcsPs2 ? 816 : 736,
        vcs,
        vcs ? 12 : 8,
        vcs ? 8 : 7,
        psp ? 68 : 80,
        vcs ? -400.0f : 0.0f,
    };
}

std::string modelName(const ModelRecord& model, int resourceIndex, const std::string& modelPrefix,
                      const std::string& lodPrefix) {
    return modelName(model.drawDistance, resourceIndex, modelPrefix, lodPrefix);
}

std::string modelName(int drawDistance, int resourceIndex, const std::string& modelPrefix, const std::string& lodPrefix) {
    return (drawDistance >= 300 ? lodPrefix : modelPrefix) + std::to_string(resourceIndex);
}

} // namespace veldrin
