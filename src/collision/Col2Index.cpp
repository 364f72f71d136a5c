#include "internal/Col2Index.h"

#include "base/ByteReader.h"
#include "base/Error.h"

namespace veldrin {

bool startsCol2(std::span<const uint8_t> stream, int64_t offset) {
    const ByteReader r(stream, "");
    return r.contains(offset, 4) && r.u32(offset) == kCol2Magic;
}

std::vector<Col2IndexEntry> readCol2Index(std::span<const uint8_t> stream, int64_t base, const std::string& what,
                                          int64_t end) {
    const int64_t streamEnd = static_cast<int64_t>(stream.size());
    const bool nextFile = end >= 0 && end < streamEnd;
    const ByteReader r(nextFile ? stream.first(static_cast<std::size_t>(end)) : stream, what);
    std::vector<Col2IndexEntry> entries;
    for (int64_t position = 0;; ++position) {
        const int64_t at = base + kCol2IndexStart + position * kCol2IndexEntrySize;
        if (!r.contains(at, kCol2IndexEntrySize)) {
            const std::string entriesRead =
                std::to_string(position) + " entr" + (position == 1 ? "y" : "ies") + " without its closing entry";
            if (nextFile) {
                throw VeldrinError(what + ": the collision index table runs into the next collision file at offset " +
                                   std::to_string(end) + " after " + entriesRead);
            }
            throw VeldrinError(what + ": the collision index table runs off the end of the data after " + entriesRead);
        }
        const int32_t modelIndex = r.i32(at);
        if (modelIndex == -1) return entries;
        entries.push_back({position, modelIndex, base + static_cast<int64_t>(r.u32(at + 4))});
    }
}

} // namespace veldrin
