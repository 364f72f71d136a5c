#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/ByteWriter.h"
#include "base/Editions.h"

namespace veldrin {

// Chunk type identifiers of the binary streams the PC games load.
namespace chunk {
inline constexpr uint32_t Struct = 0x00000001;
inline constexpr uint32_t String = 0x00000002;
inline constexpr uint32_t Extension = 0x00000003;
inline constexpr uint32_t Texture = 0x00000006;
inline constexpr uint32_t Material = 0x00000007;
inline constexpr uint32_t MaterialList = 0x00000008;
inline constexpr uint32_t FrameList = 0x0000000E;
inline constexpr uint32_t Geometry = 0x0000000F;
inline constexpr uint32_t Clump = 0x00000010;
inline constexpr uint32_t Atomic = 0x00000014;
inline constexpr uint32_t TextureNative = 0x00000015;
inline constexpr uint32_t TextureDictionary = 0x00000016;
inline constexpr uint32_t GeometryList = 0x0000001A;
inline constexpr uint32_t MaterialEffects = 0x00000120;
inline constexpr uint32_t BinMesh = 0x0000050E;
inline constexpr uint32_t NightVertexColours = 0x0253F2F9;
inline constexpr uint32_t MaterialReflection = 0x0253F2FC;
inline constexpr uint32_t MeshExtension = 0x0253F2FD;
inline constexpr uint32_t FrameName = 0x0253F2FE;
} // namespace chunk

inline constexpr std::size_t kChunkHeaderSize = 12;

// Library version stamp carried by every chunk header of a file for the target game.
uint32_t versionStamp(TargetGame target);

// Appends a 12-byte header: type, content size (nested headers included, own header not), stamp.
void writeChunkHeader(ByteWriter& out, uint32_t type, uint32_t size, uint32_t stamp);

// Content length of a String chunk holding `nameLength` bytes: always at least one terminating zero,
// rounded up to a multiple of four (3 -> 4, 4 -> 8, 0 -> 4).
uint32_t paddedStringLength(std::size_t nameLength);

// Appends a complete String chunk (header and zero-padded name).
void writeStringChunk(ByteWriter& out, std::string_view name, uint32_t stamp);

// The one way DFF and TXD writers size their container chunks: the header goes out with size 0 and
// close() fills in the number of bytes appended since (leaf chunks of known size use writeChunkHeader).
// close() refuses, with VeldrinError, contents over 2147483647 bytes, the largest size the games read.
// Closing twice, or not at all, is a bug.
class OpenChunk {
public:
    OpenChunk(ByteWriter& out, uint32_t type, uint32_t stamp);
    void close();

private:
    ByteWriter& out_;
    std::size_t sizeField_;
    uint32_t type_;
};

} // namespace veldrin
