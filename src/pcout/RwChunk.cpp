#include "pcout/RwChunk.h"

#include <cstdio>
#include <limits>
#include <string>

#include "base/Error.h"

namespace veldrin {

uint32_t versionStamp(TargetGame target) {
    switch (target) {
    case TargetGame::Gta3: return 0x0800FFFF;
    case TargetGame::GtaVc: return 0x0C02FFFF;
    case TargetGame::GtaSa: return 0x1803FFFF;
    }
    return 0x1803FFFF;
}

void writeChunkHeader(ByteWriter& out, uint32_t type, uint32_t size, uint32_t stamp) {
    out.u32(type);
    out.u32(size);
    out.u32(stamp);
}

uint32_t paddedStringLength(std::size_t nameLength) {
    return static_cast<uint32_t>(nameLength + 4 - nameLength % 4);
}

void writeStringChunk(ByteWriter& out, std::string_view name, uint32_t stamp) {
    const uint32_t padded = paddedStringLength(name.size());
    writeChunkHeader(out, chunk::String, padded, stamp);
    out.text(name);
    out.zeros(padded - name.size());
}

OpenChunk::OpenChunk(ByteWriter& out, uint32_t type, uint32_t stamp) : out_(out), type_(type) {
    writeChunkHeader(out, type, 0, stamp);
    sizeField_ = out.size() - 8;
}

void OpenChunk::close() {
    const std::size_t size = out_.size() - (sizeField_ + 8);
    if (size > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        char type[16];
        std::snprintf(type, sizeof type, "0x%08X", static_cast<unsigned>(type_));
        throw VeldrinError(std::string("A chunk of type ") + type + " would hold " + std::to_string(size) +
                           " bytes, more than the 2147483647 a file can give it");
    }
    out_.patchU32(sizeField_, static_cast<uint32_t>(size));
}

} // namespace veldrin
