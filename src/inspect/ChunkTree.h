#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin::inspect {

// One chunk of a binary stream (models, texture dictionaries): its 12-byte header and, for the types
// that hold other chunks, those chunks. Offsets count from the start of the file.
struct ChunkNode {
    uint32_t type = 0, size = 0, stamp = 0;
    std::size_t offset = 0;  // of the header
    std::size_t content = 0; // of the content, offset + 12
    std::vector<ChunkNode> children;

    std::size_t end() const { return content + size; }
    // The child at `i`, or the first child of `type`; both throw VeldrinError when there is none.
    const ChunkNode& child(std::size_t i) const;
    const ChunkNode& find(uint32_t wanted) const;
    bool has(uint32_t wanted) const;
};

// Chunk types this reader knows by name.
namespace chunk_type {
inline constexpr uint32_t Struct = 0x01, String = 0x02, Extension = 0x03, Texture = 0x06, Material = 0x07,
                          MaterialList = 0x08, FrameList = 0x0E, Geometry = 0x0F, Clump = 0x10, Atomic = 0x14,
                          TextureNative = 0x15, TextureDictionary = 0x16, GeometryList = 0x1A, BinMesh = 0x050E,
                          NightColours = 0x0253F2F9, Reflection = 0x0253F2FC, FrameName = 0x0253F2FE;
}

// The chunks of a whole file, back to back from its start to its end. Every declared size is checked
// against its parent and the file; a container must be filled exactly by its children. Refusals are
// VeldrinError naming `what` (the file), the chunk and its offset.
// With `padded`, zero bytes after the last chunk (a file cut from an archive in whole sectors) end the file.
// Safe for untrusted input: nesting is bounded (kMaxChunkDepth) and every child takes 12 bytes at least.
std::vector<ChunkNode> readChunkTree(std::span<const uint8_t> file, const std::string& what, bool padded = false);

// The same for a file that must hold exactly one root chunk.
ChunkNode readRootChunk(std::span<const uint8_t> file, const std::string& what);

inline constexpr int kMaxChunkDepth = 64;

// True for the types whose content is a list of chunks.
bool holdsChunks(uint32_t type);
// "Clump", "Geometry", ... or "" for a type this reader does not know.
std::string chunkTypeName(uint32_t type);
// The library version a stamp names, as 0x36003 for 3.6.0.3: unpacked from the upper bits of newer
// stamps, the bare version in the low bits of the oldest ones.
uint32_t libraryVersionNumber(uint32_t stamp);
// The same as text: "3.6.0.3".
std::string libraryVersion(uint32_t stamp);
// "Geometry (0xF) at offset 120", as messages name a chunk.
std::string describeChunk(const ChunkNode& node);
// "Geometry (0xF)", or "chunk 0x1234" for a type this reader does not know.
std::string describeType(uint32_t type);
// True when every chunk of the tree carries the stamp of the root.
bool stampsAgree(const ChunkNode& root);

} // namespace veldrin::inspect
