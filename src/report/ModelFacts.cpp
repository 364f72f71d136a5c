#include "report/ModelFacts.h"

#include "base/ByteReader.h"
#include "base/Error.h"
#include "inspect/ChunkTree.h"

namespace veldrin {

ModelCounts countModelGeometry(std::span<const uint8_t> dff, const std::string& what) {
    namespace ct = inspect::chunk_type;
    const inspect::ChunkNode clump = inspect::readRootChunk(dff, what);
    const ByteReader reader(dff, what);
    ModelCounts counts;
    for (const inspect::ChunkNode& geometry : clump.find(ct::GeometryList).children) {
        if (geometry.type != ct::Geometry) continue;
        const inspect::ChunkNode& s = geometry.find(ct::Struct);
        if (s.size < 12) throw VeldrinError(what + ": the geometry struct at offset " + std::to_string(s.offset) + " is too short");
        counts.triangles += reader.u32(static_cast<int64_t>(s.content) + 4, "triangle count");
        counts.vertices += reader.u32(static_cast<int64_t>(s.content) + 8, "vertex count");
    }
    return counts;
}

} // namespace veldrin
