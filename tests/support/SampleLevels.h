#pragma once
#include "support/LevelBuilder.h"

namespace veldrin::test {

struct SampleShape {
    int textures = 24;
    int models = 36;
    int instances = 90;
    int pairs = 2;           // models drawn from two geometry parts under shared instance ids
    uint32_t seed = 20261207;
};

// A small town in the given edition: models of one or two geometry parts, palettised textures in
// console storage (some with alpha, some 4-bit, some unswizzled), instances in regular and extra
// cells and in every instance list, textures in the world table, in blocks, in trailing blocks and
// (VCS) in extra blocks.
LevelDescription sampleTown(GameVersion edition, const SampleShape& shape = {});

// The city-scale level used by the benchmarks: about 4,000 models, 2,500 textures, 10,000 instances.
SampleShape cityShape();
// The shape `times` times larger: models, textures, pairs and placements (placements capped by the
// 15-bit instance ids).
SampleShape scaledShape(SampleShape shape, int times);

} // namespace veldrin::test
