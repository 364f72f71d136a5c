#pragma once
// Resizing of plain images: nearest-texel stretching for any plain format, and separable
// fixed-point filtering (weights scaled by 256) for "A8R8G8B8".
#include <cstdint>
#include <vector>

#include "imaging/Imaging.h"

namespace veldrin {

struct WeightedSource {
    int32_t source; // source position along the axis, already clamped into the image
    float weight;
};

struct IntegerWeightedSource {
    int32_t source;
    int32_t weight; // the float weight times 256, rounded
};

// For each destination position along one axis, the source positions and weights that make it.
using MappingTable = std::vector<std::vector<WeightedSource>>;
using IntegerMappingTable = std::vector<std::vector<IntegerWeightedSource>>;

// The filter's weights of each position add up to 1; edge positions are clamped, so an edge
// texel may appear more than once in a list.
MappingTable buildMappingTable(int32_t sourceSize, int32_t destinationSize, SamplingFilter filter);
// Rounds every weight times 256 to the nearest integer (ties to even). Where the rounded weights of
// a position do not sum to 256, the middle pair takes the difference, as the float weights do with
// 1; otherwise strong shrinking rounds every weight to 0 and the result turns black and transparent.
IntegerMappingTable toIntegerWeights(const MappingTable& table);

// A width x height image in the source's plain format whose texel (x, y) is the source texel at
// (x * stepX >> 16, y * stepY >> 16), stepX = source width * 65536 / width. The palette of an
// indexed image is copied as it is.
ImageData stretchNearest(const ImageData& source, int32_t width, int32_t height);
// A width x height image (at least the source's size) in the source's plain format holding the source
// at its top left, its last column and last row repeated into the rest.
ImageData extendEdges(const ImageData& source, int32_t width, int32_t height);
// A width x height "A8R8G8B8" image made from the "A8R8G8B8" source with the filter's weights.
ImageData resampleFiltered(const ImageData& source, int32_t width, int32_t height, SamplingFilter filter);

// The two passes of filtered resampling: for each destination row, the source rows and weights
// summed per source column (down), then for each destination column the columns and weights summed
// from those sums (across). Only source bytes begin to end of a row are ever read.
struct WeightedPasses {
    IntegerMappingTable across;
    IntegerMappingTable down;
    int64_t begin = 0;
    int64_t end = 0;
};
WeightedPasses planWeightedPasses(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height,
                                  SamplingFilter filter);
// Writes the destination's texels to `out`: in vector lanes on the best target the machine runs,
// or in plain C++ (the reference the vector targets must match). Each channel is a 32-bit sum of
// weight x value, clamped to 0 .. 0xFF0000 and shifted right by 16.
void resampleRows(const ImageData& source, const WeightedPasses& passes, uint8_t* out);
void resampleRowsPlain(const ImageData& source, const WeightedPasses& passes, uint8_t* out);

} // namespace veldrin
