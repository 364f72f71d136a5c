#include "app/RunRecordOptions.h"

namespace veldrin {

std::vector<std::pair<std::string, RunRecord::OptionValue>> recordedOptions(const ConversionOptions& o) {
    using V = RunRecord::OptionValue;
    static const char* const kThresholds[] = {"all", "16", "32", "64", "128"};
    const char* txd = o.txdMode == TxdMode::NoTxd ? "none" : o.txdMode == TxdMode::OneBigTxd ? "one" : "group";
    const int threshold = o.mipMapThreshold >= 0 && o.mipMapThreshold < 5 ? o.mipMapThreshold : 0;
    const std::string offset = o.mapOffsetText[0] + "," + o.mapOffsetText[1] + "," + o.mapOffsetText[2];
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
        {"mipmap-threshold", V(std::string(kThresholds[threshold]))},
        {"night-prelight", V(o.genNightPrelit)},
        {"day-min", V(int64_t{o.prelightDayMinimum})},
        {"night-min", V(int64_t{o.prelightNightMinimum})},
        {"optimise-mesh", V(o.optimiseMesh)},
        {"img", V(o.buildImg)},
        {"zon", V(o.useZon ? o.zonPath.string() : std::string())},
        {"island", V(int64_t{o.zonIsland})},
        {"force-megalods", V(o.forceMegaLods)},
        {"jobs", V(int64_t{o.jobs})},
    };
}

RunRecord::Level recordedLevel(const ConversionOptions& o, bool editionDetected) {
    return {o.levelName, o.lvzPath.string(), o.imgPath.string(), std::string(gameVersionName(o.gameVersion)),
            editionDetected};
}

} // namespace veldrin
