#include "model/InvisibleModel.h"

#include "internal/DffWriter.h"

namespace veldrin {

std::vector<uint8_t> invisibleDff(TargetGame target) {
    // A geometry without triangles is valid too, but some loaders take an empty vertex list badly: a
    // triangle of no area draws nothing either.
    DffModel model;
    model.name = "invisible";
    model.positions.assign(3, {0.0f, 0.0f, 0.0f});
    model.coordinates.assign(3, {0.0f, 0.0f});
    model.colours.prelit.assign(3, Rgba{0, 0, 0, 0});
    model.triangles.push_back({0, 1, 2, 0});
    model.materialNames.push_back("");
    model.untextured = true;
    return writeDff(model, target);
}

} // namespace veldrin
