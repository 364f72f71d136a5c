#include "app/run/StageParams.h"

namespace veldrin {

ModelParams modelParamsFor(const ConversionOptions& o, const PlannedModel& model) {
    ModelParams p;
    p.edition = o.edition;
    p.target = o.targetGame;
    p.modelName = model.name;
    p.texturePrefix = o.texturePrefix;
    p.scale = model.scale;
    p.optimiseMesh = o.optimiseMesh;
    p.nightPrelit = o.genNightPrelit;
    p.dayMinimum = o.prelightDayMinimum;
    p.nightMinimum = o.prelightNightMinimum;
    p.keepWritten = o.keepsWrittenLevel();
    return p;
}

TxdParams txdParamsFor(const ConversionOptions& o) {
    TxdParams p;
    p.target = o.targetGame;
    p.edition = o.edition;
    p.texturePrefix = o.texturePrefix;
    p.genMipMaps = o.genMipMaps;
    p.mipSizeThreshold = o.mipSizeThreshold;
    p.dxtQuality = o.dxtQuality;
    p.jobs = o.jobs;
    return p;
}

} // namespace veldrin
