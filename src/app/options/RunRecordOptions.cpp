#include "app/options/RunRecordOptions.h"

#include "base/DecimalText.h"

namespace veldrin {

std::vector<std::pair<std::string, RunRecord::OptionValue>> recordedOptions(const ConversionOptions& o) {
    using V = RunRecord::OptionValue;
    const char* txd = o.txdMode == TxdMode::NoTxd ? "none" : o.txdMode == TxdMode::OneBigTxd ? "one" : "group";
    // The threshold travels as the width a texture must exceed (17 for "16"); "all" is 0.
    const std::string threshold = o.mipSizeThreshold <= 0 ? "all" : std::to_string(o.mipSizeThreshold - 1);
    const std::string offset = formatGeneral(o.mapOffset[0], 9, 2) + "," + formatGeneral(o.mapOffset[1], 9, 2) + "," + formatGeneral(o.mapOffset[2], 9, 2);
    return {
        {"edition", V(std::string(gameVersionName(o.gameVersion)))},
        {"target", V(std::string(targetGameName(o.targetGame)))},
        {"out", V(o.outputFolder.string())},
        {"txd", V(std::string(txd))},
        {"models-per-txd", V(int64_t{o.modelsPerTxd})},
        {"ide", V(o.generateIde)},
        {"id-offset", V(int64_t{o.idOffset})},
        {"map-offset", V(offset)},
        {"model-prefix", V(o.modelPrefix)},
        {"texture-prefix", V(o.texturePrefix)},
        {"blank-col", V(o.genBlankCol)},
        {"mipmaps", V(o.genMipMaps)},
        {"mipmap-threshold", V(threshold)},
        {"night-prelight", V(o.genNightPrelit)},
        {"day-min", V(int64_t{o.prelightDayMinimum})},
        {"night-min", V(int64_t{o.prelightNightMinimum})},
        {"optimise-mesh", V(o.optimiseMesh)},
        {"img", V(o.buildImg)},
        {"zon", V(o.useZon ? o.zonPath.string() : std::string())},
        {"island", V(int64_t{o.zonIsland.value_or(0)})},
        {"force-megalods", V(o.forceMegaLods)},
        {"jobs", V(int64_t{o.jobs})},
    };
}

RunRecord::Level recordedLevel(const ConversionOptions& o, bool editionDetected) {
    return {o.levelName, o.lvzPath.string(), o.imgPath.string(), std::string(gameVersionName(o.gameVersion)),
            editionDetected};
}

} // namespace veldrin
