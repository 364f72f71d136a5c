#include "pcout/RwChunk.h"

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

OpenChunk::OpenChunk(ByteWriter& out, uint32_t type, uint32_t stamp) : out_(out) {
    writeChunkHeader(out, type, 0, stamp);
    sizeField_ = out.size() - 8;
}

void OpenChunk::close() {
    out_.patchU32(sizeField_, static_cast<uint32_t>(out_.size() - (sizeField_ + 8)));
}

} // namespace veldrin
