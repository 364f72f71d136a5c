#include "collision/BlankCol.h"

#include <cmath>

#include "base/ByteWriter.h"
#include "internal/ColNameField.h"

namespace veldrin {

namespace {

void writeVector(ByteWriter& w, const std::array<float, 3>& v) {
    for (float c : v) w.f32(c);
}

} // namespace

void writeBlankCol(std::vector<uint8_t>& out, TargetGame target, const std::string& name, std::array<float, 3> min,
                   std::array<float, 3> max) {
    std::array<float, 3> centre{};
    double squares = 0;
    for (int i = 0; i < 3; ++i) {
        centre[i] = static_cast<float>((double(min[i]) + double(max[i])) / 2);
        const double reach = double(max[i]) - double(centre[i]);
        squares += reach * reach;
    }
    const float radius = static_cast<float>(std::sqrt(squares));

    // Validate before appending, so a refused record leaves the stream as it was.
    ByteWriter record;
    const bool col3 = target == TargetGame::GtaSa;
    const std::size_t total = col3 ? kBlankCol3Size : kBlankColSize;
    record.data().reserve(total);
    record.text(col3 ? "COL3" : "COLL");
    record.u32(static_cast<uint32_t>(total - 8));
    writeColNameField(record, name);
    if (col3) {
        writeVector(record, min);
        writeVector(record, max);
        writeVector(record, centre);
        record.f32(radius);
    } else {
        record.f32(radius);
        writeVector(record, centre);
        writeVector(record, min);
        writeVector(record, max);
    }
    // The section counts (and for COL3 the flags and section offsets) are all zero: no geometry.
    record.zeros(total - record.size());
    const std::vector<uint8_t> bytes = record.take();
    out.insert(out.end(), bytes.begin(), bytes.end());
}

} // namespace veldrin
